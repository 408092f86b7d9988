// Compiled from Windows-1256: the Arabic words below are single bytes. The names are
// indexed once, at the first look-up: Arabic forms by the key bytes of the loose
// rule, Latin names by their spelling key.
#include "chapter_names.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "data_format.h"
#include "loose_rule.h"
#include "verse_store.h"

namespace quran {

const char* const kChapterLatinNames[114] = {
#include "chapter_latin_names.inc"
};

namespace {

constexpr OtherChapterName kOtherNames[] = {
#include "chapter_other_names.inc"
};

constexpr std::string_view kArticle = "ال";

// The name without its article, where what is left is more than one letter.
std::string WithoutArticle(const std::string& name) {
  return name.starts_with(kArticle) && name.size() > kArticle.size() + 1
             ? name.substr(kArticle.size())
             : std::string();
}

std::string KeyBytes(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = static_cast<char>(KeyByte(static_cast<unsigned char>(c)));
  return key;
}

// The name's words, lower case, without apostrophes (which write 'ayn and hamza).
std::vector<std::string> LatinWords(std::string_view written) {
  std::vector<std::string> words(1);
  for (char c : written) {
    auto b = static_cast<unsigned char>(c);
    if (IsLatinLetter(b)) {
      words.back() += static_cast<char>(b | 0x20);  // ASCII lower case
    } else if (!IsApostrophe(b) && !words.back().empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

// Whether a word is the article before the next: al, el, ul, or a with the next word's
// first consonants (An-Nas, Ash-Shams, Adh-Dhariyat).
bool IsArticle(const std::string& word, const std::string& next) {
  if (word == "al" || word == "el" || word == "ul") return true;
  return word.size() >= 2 && word.size() <= 3 && word[0] == 'a' &&
         std::string_view("aeiou").find(word[1]) == std::string_view::npos &&
         next.starts_with(std::string_view(word).substr(1));
}

bool IsFamily(const std::string& word) {
  return word == "aal" || word == "aali" || word == "ali" || word == "ale" || word == "aale" ||
         word == "alu";
}

struct Index {
  std::array<std::string, kChapterCount> arabic;  // without marks
  std::array<std::string, kChapterCount> bare;    // without the article, or empty
  struct Arabic {
    std::string text;
    int chapter;
    bool own;  // the table's name, not one of the list's
  };
  std::unordered_map<std::string, std::vector<Arabic>> arabicByKey;
  struct Latin {
    std::string key;
    int chapter;
    bool own;
  };
  std::vector<Latin> latin;
};

const Index& Names() {
  static const Index index = [] {
    Index x;
    auto addArabic = [&](const std::string& text, int chapter, bool own) {
      x.arabicByKey[KeyBytes(text)].push_back({text, chapter, own});
      if (std::string bare = WithoutArticle(text); !bare.empty())
        x.arabicByKey[KeyBytes(bare)].push_back({bare, chapter, own});
    };
    for (int c = 1; c <= kChapterCount; ++c) {
      x.arabic[c - 1] = WithoutMarks(ChapterName(c));
      x.bare[c - 1] = WithoutArticle(x.arabic[c - 1]);
      addArabic(x.arabic[c - 1], c, true);
      x.latin.push_back({LatinKey(kChapterLatinNames[c - 1]), c, true});
    }
    for (const OtherChapterName& n : kOtherNames) {
      if (IsLatinLetter(static_cast<unsigned char>(n.name[0])))
        x.latin.push_back({LatinKey(n.name), n.chapter, false});
      else
        addArabic(WithoutMarks(n.name), n.chapter, false);
    }
    return x;
  }();
  return index;
}

void Add(ChapterMatch* m, int chapter) {
  if (!m->chapter)
    m->chapter = chapter;
  else if (chapter != m->chapter && !m->other)
    m->other = chapter;
}

ChapterMatch LatinLookUp(const std::string& key, bool prefix) {
  ChapterMatch m;
  for (const Index::Latin& n : Names().latin) {
    if (prefix ? n.key.size() > key.size() && n.key.starts_with(key) : n.key == key)
      Add(&m, n.chapter);
  }
  return m;
}

// A one-word name with its article run in: "Albaqarah", "Annas".
std::string WithoutGluedArticle(std::string_view written) {
  std::vector<std::string> words = LatinWords(written);
  if (words.size() != 1) return {};
  const std::string& w = words[0];
  if (w.size() > 4 && (w.starts_with("al") || w.starts_with("el"))) return w.substr(2);
  // "a" and a doubled consonant, or a doubled digraph: Annas, Ashshams.
  if (w.size() > 4 && w[0] == 'a' && std::string_view("aeiou").find(w[1]) == std::string::npos) {
    if (w[1] == w[2]) return w.substr(1);
    if (w.size() > 6 && w[2] == 'h' && w[3] == w[1] && w[4] == 'h') return w.substr(1);
  }
  return {};
}

}  // namespace

std::string LatinKey(std::string_view written) {
  std::vector<std::string> words = LatinWords(written);
  while (words.size() > 1) {
    if (words.size() > 2 && (IsFamily(words[0]) || words[0] == "al") &&
        (words[1] == "e" || words[1] == "i")) {
      words.erase(words.begin(), words.begin() + 2);  // Aal-e-Imran, Al-i-Imran
    } else if (IsFamily(words[0]) || IsArticle(words[0], words[1])) {
      words.erase(words.begin());
    } else {
      break;
    }
  }
  std::string letters;
  for (const std::string& w : words) letters += w;
  std::string key;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    char c = letters[i];
    char next = i + 1 < letters.size() ? letters[i + 1] : '\0';
    char symbol = c;
    if (next == 'h' && std::string_view("stdzgk").find(c) != std::string_view::npos) {
      ++i;
      // A final th writes ta in some English spellings ("Adiyath").
      bool last = i + 1 == letters.size();
      symbol = c == 's'   ? 'x'
               : c == 't' ? (last ? 't' : 's')
               : c == 'g' ? 'g'
               : c == 'k' ? 'K'
                          : 'd';
    } else if (std::string_view("aeiy").find(c) != std::string_view::npos) {
      symbol = 'a';
    } else if (c == 'o' || c == 'w') {
      symbol = 'u';
    } else if (c == 'q' || c == 'c') {
      symbol = 'k';
    } else if (c == 'z') {
      symbol = 'd';
    }
    if (!key.empty() && key.back() == symbol) continue;
    key += symbol;
  }
  // Ta marbuta written -ah, -a or -at; the plural endings -un and -in.
  if (key.size() > 3 && key[key.size() - 2] == 'a' && (key.back() == 'h' || key.back() == 't'))
    key.pop_back();
  if (key.size() >= 6 && key.ends_with("un")) key[key.size() - 2] = 'a';
  return key;
}

ChapterMatch ChapterByArabicName(std::string_view name) {
  const Index& x = Names();
  auto found = x.arabicByKey.find(KeyBytes(name));
  ChapterMatch m;
  if (found == x.arabicByKey.end()) return m;
  for (const Index::Arabic& form : found->second) {
    if (LooseEqual(name, form.text)) Add(&m, form.chapter);
  }
  return m;
}

ChapterMatch ChapterByLatinName(std::string_view written) {
  std::string key = LatinKey(written);
  if (key.empty()) return {};
  if (ChapterMatch m = LatinLookUp(key, false); m.chapter) return m;
  if (std::string rest = WithoutGluedArticle(written); !rest.empty()) {
    if (ChapterMatch m = LatinLookUp(LatinKey(rest), false); m.chapter) return m;
  }
  return key.size() >= 4 ? LatinLookUp(key, true) : ChapterMatch{};
}

std::span<const OtherChapterName> OtherChapterNames() {
  return kOtherNames;
}

std::vector<std::string> ChapterNameProblems() {
  const Index& x = Names();
  std::vector<std::string> problems;
  auto chapter = [](int c) { return std::to_string(c) + " (" + kChapterLatinNames[c - 1] + ")"; };
  for (const auto& [key, forms] : x.arabicByKey) {
    for (const Index::Arabic& a : forms) {
      for (const Index::Arabic& b : forms) {
        // A name of the list may be shared by two chapters, never another's own.
        if (&a < &b && a.chapter != b.chapter && (a.own || b.own) && LooseEqual(a.text, b.text))
          problems.push_back("an Arabic name of chapter " + chapter(a.chapter) +
                             " reads as one of chapter " + chapter(b.chapter));
      }
    }
  }
  for (const Index::Latin& a : x.latin) {
    for (const Index::Latin& b : x.latin) {
      if (&a < &b && a.chapter != b.chapter && (a.own || b.own) && a.key == b.key)
        problems.push_back("a Latin name of chapter " + chapter(a.chapter) +
                           " reads as one of chapter " + chapter(b.chapter) + ": " + a.key);
    }
  }
  for (const OtherChapterName& n : kOtherNames) {
    if (n.chapter < 1 || n.chapter > kChapterCount)
      problems.push_back("a name of chapter " + std::to_string(n.chapter) +
                         ", which does not exist");
  }
  return problems;
}

ChapterPrefix ChapterByPrefix(std::string_view typed) {
  std::string text = WithoutMarks(typed);
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return {};
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int n = text.size() > 3 ? 0 : std::stoi(text);
    return {n >= 1 && n <= kChapterCount ? n : 0};
  }
  if (IsLatinLetter(static_cast<unsigned char>(text.front()))) {
    ChapterMatch m = ChapterByLatinName(text);
    return {m.Ambiguous() ? 0 : m.chapter};
  }
  const Index& x = Names();
  auto begins = [&](const std::string& name) {
    return name.size() >= text.size() &&
           LooseEqual(text, std::string_view(name).substr(0, text.size()));
  };
  for (int c = 0; c < kChapterCount; ++c) {
    if (begins(x.arabic[c])) return {c + 1, text.size()};
  }
  for (int c = 0; c < kChapterCount; ++c) {
    if (!x.bare[c].empty() && begins(x.bare[c]))
      return {c + 1, x.arabic[c].size() - x.bare[c].size() + text.size()};
  }
  return {};
}

}  // namespace quran
