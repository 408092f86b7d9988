// quran_search: the store's searches from the command line, reading queries as the
// search window does and printing UTF-8.
//   quran_search search [--json] [--cite] [--loose] [--all-words] [--data DIR] MODE QUERY
//                       [--within MODE QUERY]...
//   quran_search roots [--json] [--data DIR]
// MODE is part, word, root, derivatives or ref (a reference: "2:255", "البقرة 255").
// Citation styles, each of which implies --cite: --ornate (﴿ ﴾), --short-reference
// ([البقرة: 255]), --arabic-digits (٢٥٥), --join (consecutive verses as one citation).
#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "citation_text.h"
#include "codepage.h"
#include "verse_store.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kReferenceError = 3;

struct Search {
  std::string mode;
  std::string query;  // as typed, UTF-8
};

struct Options {
  bool json = false;
  bool cite = false;
  quran::CitationStyle style;
  quran::Matching matching = quran::Matching::kExact;
  // Every word of a part or word query, in any order.
  bool allWords = false;
  std::string dataDir;
  std::vector<Search> searches;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "quran_search: %s\n", message.c_str());
  std::exit(kUsageError);
}

std::string Utf8(std::string_view cp1256) {
  auto out = quran::Cp1256ToUtf8(cp1256);
  return out ? *out : std::string("?");
}

std::u16string Utf16(const std::string& utf8) {
  auto wide = quran::Utf8ToUtf32(utf8);
  if (!wide) Fail("the query \"" + utf8 + "\" is not UTF-8");
  std::u16string out;
  // Outside the first plane no character belongs to a reference.
  for (char32_t c : *wide) out += c > 0xFFFF ? u'?' : static_cast<char16_t>(c);
  return out;
}

// Why a reference names no verse, in English.
std::string ReferenceMessage(const quran::Reference& r, const std::string& query) {
  using quran::ReferenceError;
  auto nameOf = [](int chapter) {
    return std::string(quran::kChapterLatinNames[chapter - 1]) + " (" +
           Utf8(quran::SuraName(chapter)) + ")";
  };
  auto chapterName = [&] { return nameOf(r.chapter); };
  switch (r.error) {
    case ReferenceError::kEmpty:
      return "the reference is empty";
    case ReferenceError::kNoSuchChapter:
      return "there is no chapter " + std::to_string(r.number) + ": chapters run from 1 to 114";
    case ReferenceError::kUnknownName:
      return "\"" + query + "\" names no chapter";
    case ReferenceError::kVerseZero:
      return "verses are numbered from 1, in " + chapterName();
    case ReferenceError::kPastChapterEnd:
      return chapterName() + " has " + std::to_string(quran::kChapterVerseCounts[r.chapter - 1]) +
             " verses, not " + std::to_string(r.number);
    case ReferenceError::kNumberTooLarge:
      return "\"" + query + "\" holds a number larger than any chapter or verse";
    case ReferenceError::kChaptersDisagree:
      return "\"" + query + "\" names two chapters: " + chapterName() + " by its name and " +
             nameOf(r.otherChapter) + " by its number " + std::to_string(r.otherChapter);
    case ReferenceError::kAmbiguousName:
      return "\"" + query + "\" could be " + chapterName() + " or " + nameOf(r.otherChapter) +
             ": write the chapter's number, as in " + std::to_string(r.otherChapter) + ":1";
    case ReferenceError::kAmbiguous:
      return "\"" + query + "\": " + std::to_string(r.number) + " could be the number of " +
             chapterName() + " or of one of its verses: write the chapter and the verse as in " +
             std::to_string(r.chapter) + ":1";
    case ReferenceError::kUnseparated:
      return "\"" + query +
             "\" goes on after its reference with no separator: separate references with a "
             "comma, as in 2:255, 3:18";
    default:
      return "\"" + query +
             "\" is not a reference: write a chapter and its verses, as in 2:255, 2:255-257, "
             "البقرة 255 or Al-Baqarah 255";
  }
}

// Runs one search on the store the way the search window reads its fields.
std::int32_t RunSearch(quran::VerseStore& store, const Search& s, const std::uint8_t* filter,
                       quran::Matching matching, bool allWords) {
  if (s.mode == "ref") {
    quran::Reference r = quran::ReadReference(quran::ReferenceText(Utf16(s.query)));
    if (r.error != quran::ReferenceError::kNone) {
      std::fprintf(stderr, "quran_search: %s\n", ReferenceMessage(r, s.query).c_str());
      std::exit(kReferenceError);
    }
    return store.FindVerses(r.ranges, filter, true);
  }
  auto converted = quran::Utf8ToCp1256(s.query);
  if (!converted) Fail("the query \"" + s.query + "\" has characters Windows-1256 lacks");
  // A root is taken as given but for the blanks around it, which no root holds.
  std::string q =
      s.mode == "root" ? quran::TrimBlanks(*converted) : quran::FieldQuery(*converted, matching);
  if (q.empty()) Fail("the " + s.mode + " query is empty");
  if (allWords && (s.mode == "part" || s.mode == "word"))
    return store.FindAllWords(q.c_str(), s.mode == "word", filter, true, matching);
  if (s.mode == "part") return store.FindText(q.c_str(), filter, true, matching);
  if (s.mode == "word") {
    std::string padded(1, ' ');
    padded.append(q).append(1, ' ');
    return store.FindText(padded.c_str(), filter, true, matching);
  }
  if (s.mode == "root") return store.FindRoot(q.c_str(), filter, true, matching);
  return store.FindWordRoots(q.c_str(), filter, true, matching);
}

// The citations of the verses found, each with the last verse it cites.
std::vector<std::pair<int, std::string>> Citations(quran::VerseStore& store,
                                                   const std::vector<int>& verses,
                                                   const quran::CitationStyle& style) {
  std::vector<std::string> texts;
  auto text = std::make_unique<char[]>(quran::kVerseTextSize);
  for (int v : verses) {
    bool got = store.GetVerseText(static_cast<std::uint32_t>(v), text.get(), quran::kVerseTextSize);
    texts.push_back(got ? text.get() : "");
  }
  std::vector<quran::CitedVerse> cited;
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const quran::VerseIndexRecord& r = store.VerseIndex[verses[i]];
    cited.push_back({r.chapter, r.verse, texts[i]});
  }
  std::vector<std::pair<int, std::string>> out;
  std::size_t last = 0;
  for (const quran::Citation& c : quran::BuildCitations(cited, style)) {
    last += c.verseCount;
    out.emplace_back(verses[last - 1], quran::ToUtf8(c.text));
  }
  return out;
}

void PrintResult(quran::VerseStore& store, const Search& s, std::int32_t occurrences,
                 const Options& opt) {
  std::vector<int> verses;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    if (store.ResultFlags[v]) verses.push_back(v);
  }
  std::vector<std::pair<int, std::string>> citations;
  if (opt.cite) citations = Citations(store, verses, opt.style);
  if (opt.json) {
    nlohmann::ordered_json line;
    line["mode"] = s.mode;
    line["query"] = s.query;
    if (opt.matching == quran::Matching::kLoose) line["loose"] = true;
    if (opt.allWords && (s.mode == "part" || s.mode == "word")) line["all_words"] = true;
    line["occurrences"] = occurrences;
    line["verse_count"] = verses.size();
    line["verses"] = nlohmann::json::array();
    for (int v : verses) {
      line["verses"].push_back({store.VerseIndex[v].chapter, store.VerseIndex[v].verse});
    }
    if (opt.cite) {
      line["citations"] = nlohmann::json::array();
      for (const auto& c : citations) line["citations"].push_back(c.second);
    }
    std::printf("%s\n", line.dump().c_str());
    return;
  }
  std::printf("%s \"%s\": %d occurrences in %zu verses\n", s.mode.c_str(), s.query.c_str(),
              occurrences, verses.size());
  auto next = citations.begin();
  for (int v : verses) {
    const quran::VerseIndexRecord& r = store.VerseIndex[v];
    std::printf("  %s %d\n", Utf8(quran::SuraName(r.chapter)).c_str(), r.verse);
    // A joined citation follows the last verse it cites.
    for (; next != citations.end() && next->first == v; ++next) {
      std::printf("    %s\n", next->second.c_str());
    }
  }
}

Options Parse(int argc, char** argv, bool roots) {
  Options opt;
  bool within = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--json") {
      opt.json = true;
    } else if (a == "--cite" && !roots) {
      opt.cite = true;
    } else if (a == "--ornate" && !roots) {
      opt.cite = true;
      opt.style.brackets = quran::CitationBrackets::kOrnate;
    } else if (a == "--short-reference" && !roots) {
      opt.cite = true;
      opt.style.reference = quran::CitationReference::kShort;
    } else if (a == "--arabic-digits" && !roots) {
      opt.cite = true;
      opt.style.digits = quran::CitationDigits::kArabicIndic;
    } else if (a == "--join" && !roots) {
      opt.cite = true;
      opt.style.joinConsecutive = true;
    } else if (a == "--loose" && !roots) {
      opt.matching = quran::Matching::kLoose;
    } else if (a == "--all-words" && !roots) {
      opt.allWords = true;
    } else if (a == "--data" && i + 1 < argc) {
      opt.dataDir = argv[++i];
    } else if (a == "--within" && !roots && !opt.searches.empty()) {
      within = true;
    } else if (!roots && (opt.searches.empty() || within) && i + 1 < argc) {
      if (a != "part" && a != "word" && a != "root" && a != "derivatives" && a != "ref") {
        Fail("unknown mode \"" + a + "\": use part, word, root, derivatives or ref");
      }
      opt.searches.push_back({a, argv[++i]});
      within = false;
    } else {
      Fail("unexpected argument \"" + a + "\"");
    }
  }
  if (!roots && (opt.searches.empty() || within)) Fail("a MODE and a QUERY are needed");
  return opt;
}

int PrintRoots(quran::VerseStore& store, const Options& opt) {
  for (std::string_view root : store.Roots()) {
    auto derivatives = store.Derivatives(root);
    if (opt.json) {
      nlohmann::ordered_json line;
      line["root"] = Utf8(root);
      line["derivatives"] = nlohmann::json::array();
      for (auto d : derivatives) line["derivatives"].push_back(Utf8(d));
      std::printf("%s\n", line.dump().c_str());
    } else {
      std::string list;
      for (auto d : derivatives) list.append(1, ' ').append(Utf8(d));
      std::printf("%s:%s\n", Utf8(root).c_str(), list.c_str());
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command != "search" && command != "roots") {
    Fail(
        "usage: quran_search search [--json] [--cite] [--ornate] [--short-reference] "
        "[--arabic-digits] [--join] [--loose] [--all-words] [--data DIR] MODE QUERY "
        "[--within MODE QUERY]... "
        "| quran_search roots [--json] [--data DIR]");
  }
  Options opt = Parse(argc, argv, command == "roots");
  auto store = opt.dataDir.empty() ? std::make_unique<quran::VerseStore>()
                                   : std::make_unique<quran::VerseStore>(opt.dataDir.c_str());
  if (store->LoadFailed) {
    std::fprintf(stderr, "quran_search: the data files in %s could not be loaded\n",
                 store->DataDirectory);
    return 1;
  }
  if (command == "roots") return PrintRoots(*store, opt);
  std::vector<std::uint8_t> filter(quran::kVerseCount);
  for (std::size_t i = 0; i < opt.searches.size(); ++i) {
    // Each search within the previous one is limited to the verses it found.
    std::memcpy(filter.data(), store->ResultFlags, filter.size());
    std::int32_t n = RunSearch(*store, opt.searches[i], i == 0 ? nullptr : filter.data(),
                               opt.matching, opt.allWords);
    PrintResult(*store, opt.searches[i], n, opt);
  }
  return 0;
}
