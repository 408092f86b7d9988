// Compiled from Windows-1256: the Arabic words below are single bytes. The text is
// cut into tokens once, then read item by item: an optional "surah", a chapter (its
// number or name), separators, and verses or ranges of verses.
#include "verse_reference.h"

#include <algorithm>
#include <array>
#include <string>

#include "data_format.h"
#include "loose_rule.h"
#include "verse_store.h"

namespace quran {

const char* const kChapterLatinNames[114] = {
#include "chapter_latin_names.inc"
};

namespace {

constexpr std::array<int, kChapterCount + 1> kChapterStarts = [] {
  std::array<int, kChapterCount + 1> starts{};
  for (int c = 0; c < kChapterCount; ++c) starts[c + 1] = starts[c] + kChapterVerseCounts[c];
  return starts;
}();

int VersesOf(int chapter) {
  return kChapterVerseCounts[chapter - 1];
}

// A count no chapter or verse number reaches; larger numbers are refused as such.
constexpr std::uint64_t kLargestNumber = 0xFFFFFFFFu;

enum class Kind { kNumber, kArabic, kLatin, kColon, kComma, kDash, kOpen, kClose, kOther };

struct Token {
  Kind kind;
  std::string text;  // an Arabic word without its marks; a Latin word as written
  std::uint64_t number = 0;
};

bool IsArabicLetter(unsigned char c) {
  return (c >= 0xC1 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDB) || (c >= 0xDD && c <= 0xDF) ||
         c == 0xE1 || (c >= 0xE3 && c <= 0xE6) || c == 0xEC || c == 0xED;
}

bool IsLatinLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsApostrophe(unsigned char c) {
  return c == '\'' || c == '`' || c == 0x91 || c == 0x92;
}

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

std::vector<Token> Tokens(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  auto at = [&](std::size_t k) -> unsigned char {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
  };
  while (i < text.size()) {
    unsigned char c = at(i);
    if (IsDigit(c)) {
      std::uint64_t n = 0;
      for (; IsDigit(at(i)); ++i) n = std::min<std::uint64_t>(n * 10 + (at(i) - '0'), ~0u * 16ull);
      tokens.push_back({Kind::kNumber, {}, n});
    } else if (IsArabicLetter(c)) {
      std::string word;
      for (; IsArabicLetter(at(i)) || IsIgnoredMark(at(i)); ++i) {
        if (!IsIgnoredMark(at(i))) word += static_cast<char>(at(i));
      }
      tokens.push_back({Kind::kArabic, std::move(word)});
    } else if (IsLatinLetter(c) || (IsApostrophe(c) && IsLatinLetter(at(i + 1)))) {
      // Hyphens and apostrophes between letters belong to the name: Al-Baqarah, Ali 'Imran.
      std::string word;
      auto joins = [&](std::size_t k) {
        return (at(k) == '-' || IsApostrophe(at(k))) &&
               (IsLatinLetter(at(k + 1)) || (IsApostrophe(at(k + 1)) && IsLatinLetter(at(k + 2))));
      };
      for (; IsLatinLetter(at(i)) || joins(i); ++i) {
        word += static_cast<char>(at(i));
      }
      tokens.push_back({Kind::kLatin, std::move(word)});
    } else {
      ++i;
      switch (c) {
        case ':':
        case '/':
          tokens.push_back({Kind::kColon, {}});
          break;
        case ',':
        case ';':
        case 0xA1:  // Arabic comma
        case 0xBA:  // Arabic semicolon
          tokens.push_back({Kind::kComma, {}});
          break;
        case '-':
        case 0x96:  // en dash
        case 0x97:  // em dash
          tokens.push_back({Kind::kDash, {}});
          break;
        case '(':
        case '[':
        case '{':
        case 0xAB:  // left guillemet
          tokens.push_back({Kind::kOpen, {}});
          break;
        case ')':
        case ']':
        case '}':
        case 0xBB:  // right guillemet
          tokens.push_back({Kind::kClose, {}});
          break;
        case ' ':
        case '\t':
        case '\r':
        case '\n':
        case '\v':
        case '\f':
        case '.':
        case '"':
        case 0xA0:  // no-break space
          break;
        default:
          if (!IsIgnoredMark(c)) tokens.push_back({Kind::kOther, {}});
      }
    }
  }
  return tokens;
}

// Whether two Arabic texts are the same by the loose rule, either read as typed.
bool LooseEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return TextFinds(a, b.data()) || TextFinds(b, a.data());
}

bool IsArabicWord(const Token& t, std::initializer_list<const char*> words) {
  if (t.kind != Kind::kArabic) return false;
  for (const char* w : words) {
    if (LooseEqual(t.text, w)) return true;
  }
  return false;
}

// A Latin word lower-cased, letters only.
std::string LatinLetters(std::string_view word) {
  std::string out;
  for (char c : word) {
    if (IsLatinLetter(static_cast<unsigned char>(c)))
      out += static_cast<char>(c | 0x20);  // ASCII lower case
  }
  return out;
}

bool IsLatinWord(const Token& t, std::initializer_list<const char*> words) {
  if (t.kind != Kind::kLatin) return false;
  std::string letters = LatinLetters(t.text);
  return std::find(words.begin(), words.end(), letters) != words.end();
}

bool IsSuraWord(const Token& t) {
  return IsArabicWord(t, {"سورة"}) ||
         IsLatinWord(t, {"surah", "sura", "surat", "suratu", "soorah", "q", "quran", "koran"});
}

bool IsVerseWord(const Token& t) {
  return IsArabicWord(t, {"الآية", "آية", "الآيات", "آيات"}) ||
         IsLatinWord(t, {"ayah", "ayat", "aya", "ayahs", "verse", "verses", "v", "vv"});
}

bool IsFromWord(const Token& t) {
  return IsArabicWord(t, {"من"});
}

bool IsToWord(const Token& t) {
  return IsArabicWord(t, {"إلى"}) || IsLatinWord(t, {"to"});
}

// The form a Latin name is compared in: lower case, letters only, the article
// ("Al-", "An-", "Ash-"...) dropped, long vowels written short, doubled letters
// single, and a final h after a vowel dropped, so that the usual spellings meet.
std::string LatinKey(std::string_view name) {
  std::string lower;
  for (char c : name) {
    auto b = static_cast<unsigned char>(c);
    lower += IsLatinLetter(b) ? static_cast<char>(b | 0x20) : (b == '-' || b == ' ' ? '-' : '\0');
  }
  std::erase(lower, '\0');
  // An article is "al"/"el", or "a" with the next part's own first consonants (An-Nas).
  std::size_t hyphen = lower.find('-');
  if (hyphen != std::string::npos && hyphen >= 2 && hyphen <= 3) {
    std::string_view first(lower.data(), hyphen), rest(lower.data() + hyphen + 1);
    bool article = first == "al" || first == "el" ||
                   (first[0] == 'a' && rest.substr(0, hyphen - 1) == first.substr(1));
    if (article) lower.erase(0, hyphen + 1);
  }
  std::string letters;
  for (char c : lower) {
    if (c != '-') letters += c;
  }
  std::string key;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    char c = letters[i];
    char next = i + 1 < letters.size() ? letters[i + 1] : '\0';
    if (c == 'e' && next == 'e') {
      c = 'i';
      ++i;
    } else if (c == 'o') {
      c = 'u';
      if (next == 'o') ++i;
    }
    if (!key.empty() && key.back() == c) continue;
    key += c;
  }
  if (key.size() > 2 && key.back() == 'h' &&
      std::string_view("aeiou").find(key[key.size() - 2]) != std::string_view::npos) {
    key.pop_back();
  }
  return key;
}

struct ChapterForms {
  std::array<std::string, kChapterCount> arabic;  // without marks
  std::array<std::string, kChapterCount> bare;    // without the article, or empty
  std::array<std::string, kChapterCount> latin;   // LatinKey
};

const ChapterForms& Forms() {
  static const ChapterForms forms = [] {
    ChapterForms f;
    static constexpr std::string_view kArticle = "ال";
    for (int c = 1; c <= kChapterCount; ++c) {
      std::string name = WithoutMarks(ChapterName(c));
      if (name.starts_with(kArticle) && name.size() > kArticle.size() + 1)
        f.bare[c - 1] = name.substr(kArticle.size());
      f.arabic[c - 1] = std::move(name);
      f.latin[c - 1] = LatinKey(kChapterLatinNames[c - 1]);
    }
    return f;
  }();
  return forms;
}

int ChapterByArabic(std::string_view name) {
  const ChapterForms& f = Forms();
  for (int c = 0; c < kChapterCount; ++c) {
    if (LooseEqual(name, f.arabic[c]) || (!f.bare[c].empty() && LooseEqual(name, f.bare[c])))
      return c + 1;
  }
  return 0;
}

int ChapterByLatin(std::string_view written) {
  std::string key = LatinKey(written);
  if (key.empty()) return 0;
  const ChapterForms& f = Forms();
  for (int c = 0; c < kChapterCount; ++c) {
    if (f.latin[c] == key) return c + 1;
  }
  // "Alfatiha" with its article run in.
  if (key.starts_with("al")) {
    std::string rest = key.substr(2);
    for (int c = 0; c < kChapterCount; ++c) {
      if (f.latin[c] == rest) return c + 1;
    }
  }
  // The beginning of one name only ("Baqar").
  if (key.size() < 4) return 0;
  int found = 0;
  for (int c = 0; c < kChapterCount; ++c) {
    if (f.latin[c].starts_with(key)) {
      if (found) return 0;
      found = c + 1;
    }
  }
  return found;
}

// Tokens [begin, end) of a text, where brackets only separate.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class Reader {
 public:
  Reader(const std::vector<Token>& tokens, Span span) : tokens_(tokens), end_(span.end) {
    pos_ = span.begin;
  }

  Reference Read() {
    SkipPunctuation();
    if (pos_ == end_) return Fail(ReferenceError::kEmpty);
    while (pos_ < end_) {
      if (!Item()) return result_;
      SkipPunctuation();
    }
    return result_;
  }

 private:
  const Token* Peek(std::size_t ahead = 0) const {
    std::size_t k = pos_;
    for (;; ++k) {
      if (k >= end_) return nullptr;
      Kind kind = tokens_[k].kind;
      if (kind == Kind::kOpen || kind == Kind::kClose) continue;
      if (ahead-- == 0) return &tokens_[k];
    }
  }
  void Next() {
    while (pos_ < end_ && (tokens_[pos_].kind == Kind::kOpen || tokens_[pos_].kind == Kind::kClose))
      ++pos_;
    ++pos_;
  }
  bool At(Kind kind, std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && t->kind == kind;
  }
  void SkipPunctuation() {
    while (const Token* t = Peek()) {
      if (t->kind != Kind::kComma) break;
      Next();
    }
    while (pos_ < end_ && (tokens_[pos_].kind == Kind::kOpen || tokens_[pos_].kind == Kind::kClose))
      ++pos_;
  }
  bool IsDash(const Token* t) const { return t && (t->kind == Kind::kDash || IsToWord(*t)); }

  Reference Fail(ReferenceError error, int chapter = 0, std::uint64_t number = 0) {
    result_.error = error;
    result_.ranges.clear();
    result_.chapter = chapter;
    result_.number = number;
    return result_;
  }

  // A chapter's name of one to three words at the reader, consumed; 0 for none.
  int Name() {
    const Token* first = Peek();
    if (!first || (first->kind != Kind::kArabic && first->kind != Kind::kLatin)) return 0;
    for (std::size_t words = 3; words > 0; --words) {
      std::string joined;
      bool same = true;
      for (std::size_t k = 0; k < words && same; ++k) {
        const Token* t = Peek(k);
        same = t && t->kind == first->kind;
        if (same) joined += (k ? " " : "") + t->text;
      }
      if (!same) continue;
      int chapter = first->kind == Kind::kArabic ? ChapterByArabic(joined) : ChapterByLatin(joined);
      if (chapter) {
        for (std::size_t k = 0; k < words; ++k) Next();
        return chapter;
      }
    }
    return 0;
  }

  bool Number(std::uint64_t* n) {
    const Token* t = Peek();
    if (!t || t->kind != Kind::kNumber) return false;
    *n = t->number;
    Next();
    return true;
  }

  // Checks and keeps verses first to last of the chapter, in order.
  bool AddVerses(int chapter, std::uint64_t first, std::uint64_t last) {
    if (first > last) std::swap(first, last);
    if (last > kLargestNumber) return Fail(ReferenceError::kNumberTooLarge, chapter, last), false;
    if (first == 0) return Fail(ReferenceError::kVerseZero, chapter, 0), false;
    if (last > static_cast<std::uint64_t>(VersesOf(chapter)))
      return Fail(ReferenceError::kPastChapterEnd, chapter, last), false;
    result_.ranges.push_back({chapter, static_cast<int>(first), static_cast<int>(last)});
    return true;
  }

  // A verse or a range: "255", "255 - 257", "255 إلى 257".
  bool Verses(std::uint64_t* first, std::uint64_t* last) {
    if (!Number(first)) return false;
    *last = *first;
    if (IsDash(Peek())) {
      Next();
      if (!Number(last)) return false;
    }
    return true;
  }

  bool SkipSuraWords() {
    bool sura = false;
    while (const Token* t = Peek()) {
      if (!IsSuraWord(*t)) break;
      sura = true;
      Next();
    }
    return sura;
  }

  bool Item() {
    if (Peek() && IsVerseWord(*Peek()) && At(Kind::kNumber, 1)) return VerseFirstItem();
    bool sura = SkipSuraWords();
    int chapter = 0;
    bool numbered = false;
    std::uint64_t n = 0;
    if (Number(&n)) {
      numbered = true;
      if (n > kLargestNumber) return Fail(ReferenceError::kNumberTooLarge, 0, n), false;
      if (At(Kind::kColon)) result_.explicitForm = true;
      if (n == 0 || n > kChapterCount) return Fail(ReferenceError::kNoSuchChapter, 0, n), false;
      chapter = static_cast<int>(n);
    } else {
      chapter = NamedChapter(sura);
      if (!chapter) return false;
      if (sura) result_.explicitForm = true;
    }

    // Between the chapter and its verses: ":", "،", "الآية", "من الآية", or nothing.
    bool separated = false;
    while (const Token* t = Peek()) {
      const Token* after = Peek(1);
      bool comma = !numbered && t->kind == Kind::kComma && after &&
                   (after->kind == Kind::kNumber || IsVerseWord(*after));
      if (!(t->kind == Kind::kColon || comma || IsVerseWord(*t) || IsFromWord(*t))) break;
      separated = true;
      Next();
    }
    if (!At(Kind::kNumber)) {
      if (separated) return Fail(ReferenceError::kNotAReference), false;
      result_.ranges.push_back({chapter, 1, VersesOf(chapter)});
      return true;
    }
    if (!numbered) result_.explicitForm = true;
    // Verses, and more verses of the same chapter after a comma.
    while (true) {
      std::uint64_t first = 0, last = 0;
      if (!Verses(&first, &last)) return Fail(ReferenceError::kNotAReference), false;
      if (!AddVerses(chapter, first, last)) return false;
      // "، 257" goes on in the chapter; "، 3:18" begins another.
      if (!(At(Kind::kComma) && At(Kind::kNumber, 1) && !At(Kind::kColon, 2) &&
            !At(Kind::kNumber, 2)))
        return true;
      Next();
    }
  }

  // The chapter's name at the reader, consumed; 0 after a failure when there is none.
  int NamedChapter(bool afterSura) {
    const Token* t = Peek();
    if (int chapter = Name()) return chapter;
    bool word = t && (t->kind == Kind::kArabic || t->kind == Kind::kLatin);
    // A word where a name must stand: after "surah", or before a verse number.
    if (word && (afterSura || At(Kind::kNumber, 1) || At(Kind::kColon, 1))) {
      result_.explicitForm = afterSura || At(Kind::kColon, 1);
      Fail(ReferenceError::kUnknownName);
    } else {
      Fail(ReferenceError::kNotAReference);
    }
    return 0;
  }

  // "الآية 255 من سورة البقرة", "verse 255 of Al-Baqarah".
  bool VerseFirstItem() {
    Next();
    std::uint64_t first = 0, last = 0;
    if (!Verses(&first, &last)) return Fail(ReferenceError::kNotAReference), false;
    while (const Token* t = Peek()) {
      if (!(IsFromWord(*t) || IsLatinWord(*t, {"of", "in"}))) break;
      Next();
    }
    SkipSuraWords();
    int chapter = 0;
    std::uint64_t n = 0;
    if (Number(&n)) {
      if (n == 0 || n > kChapterCount) return Fail(ReferenceError::kNoSuchChapter, 0, n), false;
      chapter = static_cast<int>(n);
    } else if (!(chapter = NamedChapter(true))) {
      return false;
    }
    result_.explicitForm = true;
    return AddVerses(chapter, first, last);
  }

  const std::vector<Token>& tokens_;
  std::size_t end_;
  std::size_t pos_ = 0;
  Reference result_;
};

// The bracketed groups outside any other, inside their brackets; *outside tells
// whether anything but them stands in the text.
std::vector<Span> OuterGroups(const std::vector<Token>& tokens, bool* outside) {
  std::vector<Span> groups;
  std::size_t depth = 0;
  *outside = false;
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    if (tokens[k].kind == Kind::kOpen) {
      if (depth++ == 0) groups.push_back({k + 1, k + 1});
    } else if (tokens[k].kind == Kind::kClose && depth > 0) {
      if (--depth == 0) groups.back().end = k;
    } else if (depth == 0) {
      *outside = true;
    }
  }
  if (depth > 0) groups.back().end = tokens.size();
  return groups;
}

}  // namespace

Reference ReadReference(std::string_view text) {
  std::vector<Token> tokens = Tokens(text);
  bool outside = false;
  std::vector<Span> groups = OuterGroups(tokens, &outside);
  // A whole citation: its verse in one bracketed group, its reference in the next. A
  // verse may begin with a chapter's name ("(الرحمن) (سورة الرحمن: 1)").
  if (groups.size() == 2 && !outside) {
    Reference verse = Reader(tokens, groups[0]).Read();
    Reference reference = Reader(tokens, groups[1]).Read();
    bool verseIsReference = verse.error == ReferenceError::kNone && verse.explicitForm;
    if (!verseIsReference && reference.error == ReferenceError::kNone && reference.explicitForm)
      return reference;
  }
  Reference whole = Reader(tokens, {0, tokens.size()}).Read();
  if (whole.error != ReferenceError::kNotAReference && whole.error != ReferenceError::kUnknownName)
    return whole;
  // A reference after other text: "قال تعالى (سورة البقرة: 255)".
  if (!groups.empty()) {
    Reference last = Reader(tokens, groups.back()).Read();
    if (last.error == ReferenceError::kNone) return last;
  }
  return whole;
}

bool MeantAsReference(const Reference& reference) {
  switch (reference.error) {
    case ReferenceError::kEmpty:
    case ReferenceError::kNotAReference:
    case ReferenceError::kUnknownName:
      return false;
    default:
      return reference.explicitForm;
  }
}

char32_t FoldReferenceCharacter(char32_t c) {
  if (c >= 0x0660 && c <= 0x0669) return U'0' + (c - 0x0660);
  if (c >= 0x06F0 && c <= 0x06F9) return U'0' + (c - 0x06F0);
  switch (c) {
    case 0xFD3F:  // ornate brackets: the opening one first in a right-to-left line
      return U'(';
    case 0xFD3E:
      return U')';
    case 0x06DD:  // end of verse
    case 0x061C:  // Arabic letter mark
    case 0xFEFF:
    case 0x00A0:
      return U' ';
    case 0x2013:
    case 0x2014:
    case 0x2212:
      return U'-';
    case 0x2018:
    case 0x2019:
    case 0x02BB:
    case 0x02BC:
    case 0x02BE:
    case 0x02BF:
      return U'\'';
    case 0x0100:
    case 0x0101:
      return c == 0x0100 ? U'A' : U'a';
    case 0x012A:
    case 0x012B:
      return c == 0x012A ? U'I' : U'i';
    case 0x016A:
    case 0x016B:
      return c == 0x016A ? U'U' : U'u';
    case 0x1E24:
    case 0x1E25:
      return U'h';
    case 0x1E62:
    case 0x1E63:
      return U's';
    case 0x1E0C:
    case 0x1E0D:
      return U'd';
    case 0x1E6C:
    case 0x1E6D:
      return U't';
    case 0x1E92:
    case 0x1E93:
      return U'z';
    default:
      return c;
  }
}

int ChapterByName(std::string_view name) {
  Reference r = ReadReference(name);
  if (r.error != ReferenceError::kNone || r.ranges.size() != 1) return 0;
  const VerseRange& range = r.ranges.front();
  bool whole = range.first == 1 && range.last == VersesOf(range.chapter);
  return whole ? range.chapter : 0;
}

ChapterPrefix ChapterByPrefix(std::string_view typed) {
  std::string text = WithoutMarks(typed);
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return {};
  if (std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c); })) {
    int n = text.size() > 3 ? 0 : std::stoi(text);
    return {n >= 1 && n <= kChapterCount ? n : 0};
  }
  if (IsLatinLetter(static_cast<unsigned char>(text.front()))) return {ChapterByLatin(text)};
  const ChapterForms& f = Forms();
  auto begins = [&](const std::string& name) {
    return name.size() >= text.size() &&
           LooseEqual(text, std::string_view(name).substr(0, text.size()));
  };
  for (int c = 0; c < kChapterCount; ++c) {
    if (begins(f.arabic[c])) return {c + 1, text.size()};
  }
  for (int c = 0; c < kChapterCount; ++c) {
    if (!f.bare[c].empty() && begins(f.bare[c]))
      return {c + 1, f.arabic[c].size() - f.bare[c].size() + text.size()};
  }
  return {};
}

int VerseIndexOf(int chapter, int verse) {
  return kChapterStarts[chapter - 1] + verse - 1;
}

}  // namespace quran
