// Compiled from Windows-1256: the Arabic words below are single bytes. The text is
// cut into tokens once, then read item by item: an optional "surah", a chapter (its
// number, its name, or both, which must agree), separators, verses or ranges of
// verses, and perhaps the chapter's name again. Items are separated by a comma, a
// semicolon or و; what else follows a reference is refused, never read as a chapter
// of its own, so that a reference never gives verses its writer did not mean.
#include "verse_reference.h"

#include <algorithm>
#include <array>
#include <string>

#include "data_format.h"
#include "loose_rule.h"
#include "verse_store.h"

namespace quran {

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

enum class Kind {
  kNumber,
  kArabic,
  kLatin,
  kColon,  // ":" or "/", and "." between two numbers ("Q 2.255")
  kComma,  // , ، ; ؛
  kAnd,    // و, alone or before a verse word, "and", "&"
  kDash,
  kOpen,
  kClose,
  kOther
};

struct Token {
  Kind kind;
  std::string text;  // an Arabic word without its marks; a Latin word as written
  std::uint64_t number = 0;
  bool dot = false;  // a kColon written "."
};

constexpr unsigned char kWaw = 0xE6;
constexpr unsigned char kTatweel = 0xDC;

bool IsArabicLetter(unsigned char c) {
  return (c >= 0xC1 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDB) || (c >= 0xDD && c <= 0xDF) ||
         c == 0xE1 || (c >= 0xE3 && c <= 0xE6) || c == 0xEC || c == 0xED;
}

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool IsOneOf(std::string_view word, std::initializer_list<const char*> words) {
  for (const char* w : words) {
    if (LooseEqual(word, w)) return true;
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

bool IsArabicSuraWord(std::string_view word) {
  return IsOneOf(word, {"سورة"});
}

bool IsArabicVerseWord(std::string_view word) {
  return IsOneOf(word, {"الآية", "آية", "الآيات", "آيات", "الآيتان", "الآيتين", "آيتان", "آيتين"});
}

bool IsSuraWord(const Token& t) {
  return (t.kind == Kind::kArabic && IsArabicSuraWord(t.text)) ||
         IsLatinWord(t, {"surah", "sura", "surat", "suratu", "soorah", "q", "quran", "koran",
                         "chapter", "chap", "ch"});
}

bool IsVerseWord(const Token& t) {
  return (t.kind == Kind::kArabic && IsArabicVerseWord(t.text)) ||
         IsLatinWord(t, {"ayah", "ayat", "aya", "ayahs", "ayaat", "verse", "verses", "v", "vv"});
}

bool IsArabicWord(const Token& t, std::initializer_list<const char*> words) {
  return t.kind == Kind::kArabic && IsOneOf(t.text, words);
}

bool IsFromWord(const Token& t) {
  return IsArabicWord(t, {"من"});
}

// "الآية رقم 255".
bool IsNumberWord(const Token& t) {
  return IsArabicWord(t, {"رقم"});
}

bool IsToWord(const Token& t) {
  return IsArabicWord(t, {"إلى"}) || IsLatinWord(t, {"to"});
}

// The note after a verse of prostration: "النجم 62 سجدة".
bool IsProstrationNote(const Token& t) {
  return t.kind == Kind::kArabic && IsOneOf(t.text, {"سجدة"}) && t.text.size() == 4;
}

bool IsName(const Token& t) {
  return (t.kind == Kind::kArabic || t.kind == Kind::kLatin) && !IsSuraWord(t) && !IsVerseWord(t) &&
         !IsFromWord(t) && !IsNumberWord(t) && !IsToWord(t);
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
      // و joins the items of a list, alone or written onto the next word: "و256", "والآية 36".
      std::string_view rest = std::string_view(word).substr(1);
      if (static_cast<unsigned char>(word[0]) == kWaw &&
          (rest.empty() || IsArabicVerseWord(rest) || IsArabicSuraWord(rest))) {
        tokens.push_back({Kind::kAnd, {}});
        if (rest.empty()) continue;
        word.erase(0, 1);
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
      // A final apostrophe writes a hamza: Nisa', Saba'.
      if (IsApostrophe(at(i)) && IsLatinLetter(static_cast<unsigned char>(word.back()))) ++i;
      bool joining = LatinLetters(word) == "and";
      tokens.push_back({joining ? Kind::kAnd : Kind::kLatin, std::move(word)});
    } else {
      ++i;
      switch (c) {
        case ':':
        case '/':
          tokens.push_back({Kind::kColon, {}});
          break;
        case '.':
          // Between a chapter's number and a verse's; elsewhere it ends an abbreviation.
          if (!tokens.empty() && tokens.back().kind == Kind::kNumber && IsDigit(at(i)))
            tokens.push_back({Kind::kColon, {}, 0, true});
          break;
        case '&':
          tokens.push_back({Kind::kAnd, {}});
          break;
        case ',':
        case ';':
        case 0xA1:  // Arabic comma
        case 0xBA:  // Arabic semicolon
          tokens.push_back({Kind::kComma, {}});
          break;
        case '-':
        case 0x96:      // en dash
        case 0x97:      // em dash
        case kTatweel:  // typed for a dash between Arabic-Indic digits
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

// Tokens [begin, end) of a text, where brackets only separate.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class Reader {
 public:
  Reader(const std::vector<Token>& tokens, Span span) {
    for (std::size_t k = span.begin; k < span.end; ++k) {
      Kind kind = tokens[k].kind;
      if (kind == Kind::kOpen || kind == Kind::kClose) continue;
      bool alone = k > span.begin && tokens[k - 1].kind == Kind::kOpen && k + 1 < span.end &&
                   tokens[k + 1].kind == Kind::kClose;
      bool bracketed = k > span.begin &&
                       (tokens[k - 1].kind == Kind::kOpen || tokens[k - 1].kind == Kind::kClose);
      tokens_.push_back({&tokens[k], alone, bracketed});
    }
  }

  Reference Read() {
    while (At(Kind::kComma)) Next();
    if (pos_ == tokens_.size()) return Fail(ReferenceError::kEmpty), result_;
    if (!Item()) return result_;
    while (pos_ < tokens_.size()) {
      bool separated = false;
      while (At(Kind::kComma) || At(Kind::kAnd)) {
        separated = true;
        Next();
      }
      if (pos_ == tokens_.size()) break;
      // Another reference without a separator only where it begins "n:m", or after a
      // bracket with verses of its own; anything else after a reference is refused,
      // never read as a chapter of its own.
      bool numbered = At(Kind::kNumber) && At(Kind::kColon, 1);
      bool bracketed = tokens_[pos_].bracketed && result_.explicitForm;
      if (!separated && !numbered && !bracketed) {
        Fail(result_.explicitForm ? ReferenceError::kUnseparated : ReferenceError::kNotAReference);
        break;
      }
      if (!Item()) break;
      if (!separated && !numbered && wholeChapter_) {
        Fail(ReferenceError::kUnseparated);
        break;
      }
    }
    return result_;
  }

 private:
  struct Place {
    const Token* token;
    bool alone;      // in brackets of its own: "Yusuf (12) 4"
    bool bracketed;  // after a bracket: "[البقرة: 255] [آل عمران: 18]"
  };

  const Token* Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < tokens_.size() ? tokens_[pos_ + ahead].token : nullptr;
  }
  void Next() { ++pos_; }
  bool At(Kind kind, std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && t->kind == kind;
  }
  bool IsDash(const Token* t) const { return t && (t->kind == Kind::kDash || IsToWord(*t)); }

  bool Fail(ReferenceError error, int chapter = 0, std::uint64_t number = 0, int other = 0) {
    result_.error = error;
    result_.ranges.clear();
    result_.chapter = chapter;
    result_.number = number;
    result_.otherChapter = other;
    return false;
  }

  // A chapter's name of one to four words at the reader, consumed when found.
  ChapterMatch Name() {
    const Token* first = Peek();
    if (!first || !IsName(*first)) return {};
    for (std::size_t words = 4; words > 0; --words) {
      std::string joined;
      bool same = true;
      for (std::size_t k = 0; k < words && same; ++k) {
        const Token* t = Peek(k);
        same = t && t->kind == first->kind;
        if (same) joined.append(k ? " " : "").append(t->text);
      }
      if (!same) continue;
      ChapterMatch m =
          first->kind == Kind::kArabic ? ChapterByArabicName(joined) : ChapterByLatinName(joined);
      if (m.chapter) {
        pos_ += words;
        return m;
      }
    }
    return {};
  }

  // Checks a chapter's number; 0 after a failure.
  int ChapterNumber(std::uint64_t n) {
    if (n > kLargestNumber) return Fail(ReferenceError::kNumberTooLarge, 0, n), 0;
    if (n == 0 || n > kChapterCount) return Fail(ReferenceError::kNoSuchChapter, 0, n), 0;
    return static_cast<int>(n);
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
    if (last > kLargestNumber) return Fail(ReferenceError::kNumberTooLarge, chapter, last);
    if (first == 0) return Fail(ReferenceError::kVerseZero, chapter, 0);
    if (last > static_cast<std::uint64_t>(VersesOf(chapter)))
      return Fail(ReferenceError::kPastChapterEnd, chapter, last);
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

  // More verses of the same chapter after a separator, which is consumed: "، 257",
  // "و256", "والآية 36"; "، 3:18" begins another reference.
  bool MoreVerses() {
    if (!At(Kind::kComma) && !At(Kind::kAnd)) return false;
    std::size_t k = 1;
    bool verseWord = false;
    while (Peek(k) && (IsVerseWord(*Peek(k)) || (verseWord && IsNumberWord(*Peek(k))))) {
      verseWord = true;
      ++k;
    }
    if (!At(Kind::kNumber, k)) return false;
    if (!verseWord && (At(Kind::kColon, k + 1) || At(Kind::kNumber, k + 1))) return false;
    pos_ += k;
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

  // A name after the chapter's number or its verses names the same chapter: "2 (البقرة):
  // 255", "2:255 (Al-Baqarah)". Anything else is left for the caller, and so is a
  // bracket after the verses that opens another reference: "[البقرة: 255] [آل عمران: 18]".
  bool SameChapterNamed(int chapter, bool afterVerses) {
    if (Peek() && IsProstrationNote(*Peek())) {
      Next();
      return true;
    }
    std::size_t start = pos_;
    SkipSuraWords();
    ChapterMatch m = Name();
    // A bracket that opens with a name and verses begins another reference.
    bool another = afterVerses && start < tokens_.size() && tokens_[start].bracketed &&
                   (At(Kind::kNumber) || At(Kind::kColon) || (Peek() && IsVerseWord(*Peek())));
    if (!m.chapter || another) {
      pos_ = start;
      return true;
    }
    if (m.chapter == chapter || m.other == chapter) return true;
    result_.explicitForm = true;
    return Fail(ReferenceError::kChaptersDisagree, m.chapter, 0, chapter);
  }

  // The chapter's number beside its name, consumed: "Al-Baqarah 2:255", "Yusuf 12 4",
  // "Yusuf (12) 4", "Surah Yusuf (12), verse 4", "Surah Yusuf, 12:4". A number that
  // could be either the chapter's or a verse's, as in "يوسف (12)" or "Surah Yusuf 12,
  // verse 4", is refused.
  bool NumberBesideName(ChapterMatch m, int* chapter) {
    if (At(Kind::kComma) && At(Kind::kNumber, 1) && At(Kind::kColon, 2)) Next();
    const Place* p = pos_ < tokens_.size() ? &tokens_[pos_] : nullptr;
    bool beside = false;
    if (p && p->token->kind == Kind::kNumber) {
      std::uint64_t n = p->token->number;
      bool named = n == static_cast<std::uint64_t>(m.chapter) ||
                   (m.Ambiguous() && n == static_cast<std::uint64_t>(m.other));
      const Token* after = Peek(1);
      bool versesAfterComma = At(Kind::kComma, 1) && Peek(2) &&
                              (Peek(2)->kind == Kind::kNumber || IsVerseWord(*Peek(2)));
      beside = At(Kind::kColon, 1) || At(Kind::kNumber, 1) ||
               (p->alone && after && (IsVerseWord(*after) || (named && versesAfterComma)));
      bool either = named && !beside && (p->alone || (versesAfterComma && IsVerseWord(*Peek(2))));
      // "An-Nas (114)": no verse of the chapter has that number.
      if (either && n > static_cast<std::uint64_t>(VersesOf(static_cast<int>(n)))) {
        either = false;
        beside = true;
      }
      if (either) {
        result_.explicitForm = true;
        return Fail(ReferenceError::kAmbiguous, static_cast<int>(n), n);
      }
    }
    if (!beside) {
      if (!m.Ambiguous()) return true;
      result_.explicitForm = result_.explicitForm || At(Kind::kNumber) || At(Kind::kColon);
      return Fail(ReferenceError::kAmbiguousName, m.chapter, 0, m.other);
    }
    result_.explicitForm = true;
    int n = ChapterNumber(p->token->number);
    if (!n) return false;
    if (n != m.chapter && n != m.other)
      return Fail(ReferenceError::kChaptersDisagree, m.chapter, 0, n);
    *chapter = n;
    Next();
    return true;
  }

  bool Item() {
    wholeChapter_ = false;
    if (VerseFirst()) return VerseFirstItem();
    bool sura = SkipSuraWords();
    int chapter = 0;
    bool numbered = false;
    std::uint64_t n = 0;
    if (Number(&n)) {
      numbered = true;
      if (sura || (At(Kind::kColon) && !Peek()->dot)) result_.explicitForm = true;
      if (!(chapter = ChapterNumber(n))) return false;
      std::size_t before = pos_;
      if (!SameChapterNamed(chapter, false)) return false;
      if (pos_ != before) result_.explicitForm = true;
    } else {
      ChapterMatch m = NamedChapter(sura);
      if (!m.chapter) return false;
      if (sura) result_.explicitForm = true;
      chapter = m.chapter;
      if (!NumberBesideName(m, &chapter)) return false;
    }

    // Between the chapter and its verses: ":", "،", "الآية", "من الآية", "رقم", or nothing.
    bool separated = false;
    while (const Token* t = Peek()) {
      const Token* after = Peek(1);
      bool comma = t->kind == Kind::kComma && after &&
                   ((!numbered && after->kind == Kind::kNumber) || IsVerseWord(*after));
      if (!(t->kind == Kind::kColon || comma || IsVerseWord(*t) || IsFromWord(*t) ||
            IsNumberWord(*t)))
        break;
      separated = true;
      Next();
    }
    if (!At(Kind::kNumber)) {
      if (separated) return Fail(ReferenceError::kNotAReference);
      result_.ranges.push_back({chapter, 1, VersesOf(chapter)});
      wholeChapter_ = true;
      return true;
    }
    if (!numbered) result_.explicitForm = true;
    do {
      std::uint64_t first = 0, last = 0;
      if (!Verses(&first, &last)) return Fail(ReferenceError::kNotAReference);
      if (!AddVerses(chapter, first, last)) return false;
    } while (MoreVerses());
    return SameChapterNamed(chapter, true);
  }

  // The chapter's name at the reader, consumed; none after a failure.
  ChapterMatch NamedChapter(bool afterSura) {
    const Token* t = Peek();
    if (ChapterMatch m = Name(); m.chapter) return m;
    // A word where a name must stand: after "surah", or before a verse number.
    if (t && IsName(*t) && (afterSura || At(Kind::kNumber, 1) || At(Kind::kColon, 1))) {
      result_.explicitForm = afterSura || At(Kind::kColon, 1);
      Fail(ReferenceError::kUnknownName);
    } else {
      Fail(ReferenceError::kNotAReference);
    }
    return {};
  }

  // A verse word, then perhaps ":" or "رقم", then a number.
  bool VerseFirst() const {
    if (!Peek() || !IsVerseWord(*Peek())) return false;
    std::size_t k = 1;
    while (Peek(k) && (At(Kind::kColon, k) || IsNumberWord(*Peek(k)) || IsVerseWord(*Peek(k)))) ++k;
    return At(Kind::kNumber, k);
  }

  // "الآية 255 من سورة البقرة", "الآيتان 255 و256 من سورة البقرة", "verse 255 of Al-Baqarah".
  bool VerseFirstItem() {
    while (!At(Kind::kNumber)) Next();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> verses;
    do {
      std::uint64_t first = 0, last = 0;
      if (!Verses(&first, &last)) return Fail(ReferenceError::kNotAReference);
      verses.emplace_back(first, last);
    } while (MoreVerses());
    while (const Token* t = Peek()) {
      if (!(IsFromWord(*t) || IsLatinWord(*t, {"of", "in"}))) break;
      Next();
    }
    SkipSuraWords();
    int chapter = 0;
    std::uint64_t n = 0;
    if (Number(&n)) {
      if (!(chapter = ChapterNumber(n)) || !SameChapterNamed(chapter, false)) return false;
    } else {
      ChapterMatch m = NamedChapter(true);
      if (!m.chapter) return false;
      if (m.Ambiguous()) {
        result_.explicitForm = true;
        return Fail(ReferenceError::kAmbiguousName, m.chapter, 0, m.other);
      }
      chapter = m.chapter;
    }
    result_.explicitForm = true;
    for (auto [first, last] : verses) {
      if (!AddVerses(chapter, first, last)) return false;
    }
    return true;
  }

  std::vector<Place> tokens_;
  std::size_t pos_ = 0;
  bool wholeChapter_ = false;  // the last item named no verse
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
  // A citation's verse is Arabic: a Latin name in brackets is read with its reference.
  if (groups.size() == 2 && !outside && groups[0].begin < groups[0].end &&
      tokens[groups[0].begin].kind == Kind::kArabic) {
    Reference verse = Reader(tokens, groups[0]).Read();
    Reference reference = Reader(tokens, groups[1]).Read();
    bool verseIsReference = verse.error == ReferenceError::kNone && verse.explicitForm;
    if (!verseIsReference && reference.error == ReferenceError::kNone && reference.explicitForm)
      return reference;
  }
  Reference whole = Reader(tokens, {0, tokens.size()}).Read();
  if (whole.error != ReferenceError::kNotAReference && whole.error != ReferenceError::kUnknownName)
    return whole;
  // A reference after other text, ending it: "قال تعالى (سورة البقرة: 255)". A bare
  // name or number in brackets is no reference: "78 (الحج): 27" is not all of Al-Hajj.
  if (!groups.empty() && groups.back().end + 1 >= tokens.size()) {
    Reference last = Reader(tokens, groups.back()).Read();
    if (last.error == ReferenceError::kNone && last.explicitForm) return last;
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

int VerseIndexOf(int chapter, int verse) {
  return kChapterStarts[chapter - 1] + verse - 1;
}

}  // namespace quran
