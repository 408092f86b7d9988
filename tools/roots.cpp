#include "roots.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "codepage.h"
#include "data_format.h"
#include "quran_text.h"

namespace quran {
namespace {

int VerseIndex(int chapter, int verse) {
  int index = 0;
  for (int c = 1; c < chapter; ++c) index += kChapterVerseCounts[c - 1];
  return index + verse - 1;
}

// Two skeletons per word: "loose" keeps only the consonants both orthographies always
// write; "rich" also keeps waw and ya, which the Uthmani and the simple spelling
// sometimes write differently, so it only breaks ties between equally good alignments.
// Ta marbuta counts as ta since the Uthmani text writes some of them open. A doubled
// consonant counts once in the loose form: the Uthmani text writes "al-layl" with one lam.
struct Skeleton {
  std::string loose;
  std::string rich;
};

// The Buckwalter letters that can stand in a root, with their Arabic letters. The
// corpus writes every hamza of a root as A; a root has no true alif.
struct Letter {
  char buckwalter;
  char32_t arabic;
};
constexpr Letter kLetters[] = {
    {'A', U'\u0623'}, {'b', U'\u0628'}, {'t', U'\u062A'}, {'v', U'\u062B'}, {'j', U'\u062C'},
    {'H', U'\u062D'}, {'x', U'\u062E'}, {'d', U'\u062F'}, {'*', U'\u0630'}, {'r', U'\u0631'},
    {'z', U'\u0632'}, {'s', U'\u0633'}, {'$', U'\u0634'}, {'S', U'\u0635'}, {'D', U'\u0636'},
    {'T', U'\u0637'}, {'Z', U'\u0638'}, {'E', U'\u0639'}, {'g', U'\u063A'}, {'f', U'\u0641'},
    {'q', U'\u0642'}, {'k', U'\u0643'}, {'l', U'\u0644'}, {'m', U'\u0645'}, {'n', U'\u0646'},
    {'h', U'\u0647'}, {'w', U'\u0648'}, {'y', U'\u064A'},
};

bool IsWeak(char c) {
  return c == 'w' || c == 'y';
}

// The skeleton class of a Buckwalter letter of a word form; 0 for one it drops.
char BuckwalterClass(char c) {
  if (c == 'p') return 't';
  if (c == 'Y') return 'y';
  if (c == 'A') return 0;
  for (const Letter& l : kLetters) {
    if (l.buckwalter == c) return c;
  }
  return 0;
}

// The same for a letter of the search text.
char ArabicClass(char32_t cp) {
  if (cp == U'\u0629') return 't';
  if (cp == U'\u0649') return 'y';
  if (cp == U'\u0623') return 0;
  for (const Letter& l : kLetters) {
    if (l.arabic == cp) return l.buckwalter;
  }
  return 0;
}

void Append(char k, Skeleton& s) {
  if (!k) return;
  s.rich += k;
  if (!IsWeak(k) && (s.loose.empty() || s.loose.back() != k)) s.loose += k;
}

void AppendBuckwalter(std::string_view form, Skeleton& s) {
  for (std::size_t i = 0; i < form.size(); ++i) {
    char c = form[i];
    // A sad with a small seen above reads, and the simple text is written, as seen.
    if (c == 'S' && i + 1 < form.size() && form[i + 1] == ':') c = 's';
    Append(BuckwalterClass(c), s);
  }
}

Skeleton ArabicSkeleton(std::string_view utf8) {
  auto cps = Utf8ToUtf32(utf8);
  if (!cps) throw std::runtime_error("search text is not valid UTF-8");
  Skeleton s;
  for (char32_t cp : *cps) Append(ArabicClass(cp), s);
  return s;
}

std::string RootToArabic(std::string_view root, int line) {
  std::u32string out;
  for (char c : root) {
    auto it = std::find_if(std::begin(kLetters), std::end(kLetters),
                           [c](const Letter& l) { return l.buckwalter == c; });
    if (it == std::end(kLetters)) {
      throw std::runtime_error("corpus line " + std::to_string(line) + ": root \"" +
                               std::string(root) + "\" has an unknown Buckwalter letter '" +
                               std::string(1, c) + "'");
    }
    out += it->arabic;
  }
  return *Utf32ToUtf8(out);
}

// A stem with a root, located by its span in its word's skeletons.
struct Stem {
  int root;  // index into the dictionary
  std::size_t looseBegin, looseEnd, richBegin, richEnd;
};

struct CorpusWord {
  int number = 0;
  Skeleton skeleton;
  std::vector<Stem> stems;
};

struct CorpusVerse {
  int index = -1;
  std::vector<CorpusWord> words;
};

struct Location {
  int chapter, verse, word, segment;
};

[[noreturn]] void Malformed(int line, const std::string& why) {
  throw std::runtime_error("corpus line " + std::to_string(line) + ": " + why);
}

bool ParseNumber(std::string_view& s, char end, int& value) {
  value = 0;
  std::size_t i = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i < 6) {
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  if (i == 0 || i >= s.size() || s[i] != end) return false;
  s.remove_prefix(i + 1);
  return true;
}

Location ParseLocation(std::string_view field, int line) {
  Location loc{};
  if (field.empty() || field.front() != '(') Malformed(line, "location does not start with '('");
  field.remove_prefix(1);
  if (!ParseNumber(field, ':', loc.chapter) || !ParseNumber(field, ':', loc.verse) ||
      !ParseNumber(field, ':', loc.word) || !ParseNumber(field, ')', loc.segment) ||
      !field.empty()) {
    Malformed(line, "location is not (chapter:verse:word:segment)");
  }
  if (loc.chapter < 1 || loc.chapter > static_cast<int>(std::size(kChapterVerseCounts)) ||
      loc.verse < 1 || loc.verse > kChapterVerseCounts[loc.chapter - 1] || loc.word < 1 ||
      loc.segment < 1) {
    Malformed(line, "location out of range");
  }
  return loc;
}

class Dictionary {
 public:
  int RootIndex(std::string_view buckwalter, int line) {
    auto it = index_.find(std::string(buckwalter));
    if (it != index_.end()) return it->second;
    int k = static_cast<int>(roots_.size());
    index_.emplace(std::string(buckwalter), k);
    roots_.push_back({RootToArabic(buckwalter, line), {}, 0});
    seen_.emplace_back();
    return k;
  }
  void CountWord(int root) { ++roots_[root].corpusWords; }
  void AddDerivative(int root, std::string_view word) {
    if (seen_[root].emplace(word).second) roots_[root].derivatives.emplace_back(word);
  }
  std::vector<RootDerivatives> Take() { return std::move(roots_); }

 private:
  std::unordered_map<std::string, int> index_;
  std::vector<RootDerivatives> roots_;
  std::vector<std::unordered_set<std::string>> seen_;
};

// Reads the corpus into verses of words, in corpus order.
std::vector<CorpusVerse> ParseCorpus(std::istream& in, Dictionary& dict) {
  std::vector<CorpusVerse> verses;
  std::string text;
  int line = 0;
  Location last{0, 0, 0, 0};
  while (std::getline(in, text)) {
    ++line;
    std::string_view s = text;
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    if (s.empty() || s.front() == '#' || s.starts_with("LOCATION\t")) continue;

    std::array<std::string_view, 4> fields;
    for (std::size_t f = 0; f < 3; ++f) {
      std::size_t tab = s.find('\t');
      if (tab == std::string_view::npos) Malformed(line, "expected four tab-separated fields");
      fields[f] = s.substr(0, tab);
      s.remove_prefix(tab + 1);
    }
    if (s.find('\t') != std::string_view::npos) Malformed(line, "more than four fields");
    fields[3] = s;
    Location loc = ParseLocation(fields[0], line);

    bool sameWord = loc.chapter == last.chapter && loc.verse == last.verse && loc.word == last.word;
    bool sameVerse = loc.chapter == last.chapter && loc.verse == last.verse;
    if (sameWord) {
      if (loc.segment != last.segment + 1) Malformed(line, "segments out of order");
    } else if (sameVerse) {
      if (loc.word != last.word + 1 || loc.segment != 1) Malformed(line, "words out of order");
    } else {
      bool later =
          loc.chapter > last.chapter || (loc.chapter == last.chapter && loc.verse > last.verse);
      if (!later || loc.word != 1 || loc.segment != 1) Malformed(line, "verses out of order");
      verses.push_back({VerseIndex(loc.chapter, loc.verse), {}});
    }
    auto& words = verses.back().words;
    if (!sameWord) words.push_back({loc.word, {}, {}});
    CorpusWord& word = words.back();
    last = loc;

    Stem stem{-1, word.skeleton.loose.size(), 0, word.skeleton.rich.size(), 0};
    AppendBuckwalter(fields[1], word.skeleton);
    std::string_view features = fields[3];
    while (!features.empty()) {
      std::size_t bar = features.find('|');
      std::string_view feature = features.substr(0, bar);
      features.remove_prefix(bar == std::string_view::npos ? features.size() : bar + 1);
      if (!feature.starts_with("ROOT:")) continue;
      feature.remove_prefix(5);
      if (feature.empty()) Malformed(line, "empty root");
      if (stem.root >= 0) Malformed(line, "two roots on one segment");
      stem.root = dict.RootIndex(feature, line);
    }
    if (stem.root >= 0) {
      stem.looseEnd = word.skeleton.loose.size();
      stem.richEnd = word.skeleton.rich.size();
      word.stems.push_back(stem);
    }
  }
  if (in.bad()) throw std::runtime_error("corpus could not be read");
  if (verses.empty()) throw std::runtime_error("corpus has no data lines");
  return verses;
}

// True when the concatenation of words[begin, end) spells target.
template <typename Get>
bool ConcatEquals(std::string_view target, std::size_t begin, std::size_t end, Get get) {
  std::size_t at = 0;
  for (std::size_t k = begin; k < end; ++k) {
    std::string_view piece = get(k);
    if (target.substr(at, piece.size()) != piece) return false;
    at += piece.size();
  }
  return at == target.size();
}

// One step of an alignment: corpus words [c, c + nc) spell text words [t, t + nt).
struct Group {
  std::size_t c, nc, t, nt;
  bool richEqual;
};

constexpr int kSplitCost = 100;
constexpr int kRichMismatchCost = 1;
constexpr int kNearMatchCost = 10000;

// True when a and b differ by at most one inserted, deleted or replaced letter.
bool WithinOneEdit(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  if (b.size() - a.size() > 1) return false;
  std::size_t i = 0;
  while (i < a.size() && a[i] == b[i]) ++i;
  if (a.size() == b.size()) return a.substr(i + (i < a.size())) == b.substr(i + (i < b.size()));
  return a.substr(i) == b.substr(i + 1);
}

// Least-cost alignment of a verse's corpus words to its text words, in which one corpus
// word may spell one to three text words or two corpus words one text word; empty when
// none exists. With near allowed, a group may also be one letter off (the Uthmani text
// assimilates a few letters the simple text writes, as in "wa-allaw" for "wa-an law").
std::vector<Group> Align(const std::vector<CorpusWord>& corpus, const std::vector<Skeleton>& text,
                         bool near) {
  const std::size_t n = corpus.size(), m = text.size();
  constexpr int kInf = std::numeric_limits<int>::max();
  const std::size_t width = m + 1;
  std::vector<int> cost((n + 1) * width, kInf);
  std::vector<Group> via((n + 1) * width);
  cost[0] = 0;
  auto relax = [&](const Group& g, int stepCost) {
    std::size_t from = g.c * width + g.t, to = (g.c + g.nc) * width + g.t + g.nt;
    if (cost[from] + stepCost < cost[to]) {
      cost[to] = cost[from] + stepCost;
      via[to] = g;
    }
  };
  auto textLoose = [&](std::size_t k) -> std::string_view { return text[k].loose; };
  auto textRich = [&](std::size_t k) -> std::string_view { return text[k].rich; };
  // Splits and joins are rare, so a path strays only a few words from the diagonal.
  const std::ptrdiff_t surplus = static_cast<std::ptrdiff_t>(m) - static_cast<std::ptrdiff_t>(n);
  const std::ptrdiff_t low = std::min<std::ptrdiff_t>(0, surplus) - 3;
  const std::ptrdiff_t high = std::max<std::ptrdiff_t>(0, surplus) + 3;
  for (std::size_t i = 0; i < n; ++i) {
    std::ptrdiff_t first = std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(i) + low);
    std::ptrdiff_t last = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(m) - 1,
                                                   static_cast<std::ptrdiff_t>(i) + high);
    for (std::ptrdiff_t jj = first; jj <= last; ++jj) {
      const std::size_t j = static_cast<std::size_t>(jj);
      if (cost[i * width + j] == kInf) continue;
      const Skeleton& w = corpus[i].skeleton;
      std::string joined;
      for (std::size_t k = 1; k <= 3 && j + k <= m; ++k) {
        joined += text[j + k - 1].loose;
        bool exact = ConcatEquals(w.loose, j, j + k, textLoose);
        if (!exact && !(near && WithinOneEdit(w.loose, joined))) continue;
        bool rich = ConcatEquals(w.rich, j, j + k, textRich);
        relax({i, 1, j, k, rich}, static_cast<int>(k - 1) * kSplitCost +
                                      (rich ? 0 : kRichMismatchCost) +
                                      (exact ? 0 : kNearMatchCost));
      }
      if (i + 1 < n) {
        std::string loose = w.loose + corpus[i + 1].skeleton.loose;
        if (loose == text[j].loose) {
          bool rich = w.rich + corpus[i + 1].skeleton.rich == text[j].rich;
          relax({i, 2, j, 1, rich}, kSplitCost + (rich ? 0 : kRichMismatchCost));
        }
      }
    }
  }
  std::vector<Group> path;
  if (cost[n * width + m] == kInf) return path;
  for (std::size_t i = n, j = m; i > 0 || j > 0;) {
    const Group& g = via[i * width + j];
    path.push_back(g);
    i = g.c;
    j = g.t;
  }
  std::reverse(path.begin(), path.end());
  return path;
}

// The text word of a split group that holds most of a stem's letters.
std::size_t StemWord(const Stem& stem, const Group& g, const std::vector<Skeleton>& text) {
  // Waw and ya place a stem of weak letters only (such as a root written with no other
  // consonant), so use them when the two spellings agree on them.
  bool rich = g.richEqual;
  std::size_t begin = rich ? stem.richBegin : stem.looseBegin;
  std::size_t end = rich ? stem.richEnd : stem.looseEnd;
  std::size_t best = g.t, bestOverlap = 0, at = 0;
  for (std::size_t k = g.t; k < g.t + g.nt; ++k) {
    std::size_t len = rich ? text[k].rich.size() : text[k].loose.size();
    std::size_t lo = std::max(begin, at), hi = std::min(end, at + len);
    if (hi > lo && hi - lo > bestOverlap) {
      bestOverlap = hi - lo;
      best = k;
    }
    at += len;
  }
  return best;
}

}  // namespace

std::vector<RootDerivatives> BuildRootDictionary(std::istream& corpus,
                                                 const std::vector<std::string>& searchVerses,
                                                 RootAlignmentStats* stats) {
  RootAlignmentStats local;
  RootAlignmentStats& st = stats ? *stats : local;
  st = {};
  Dictionary dict;
  std::vector<CorpusVerse> verses = ParseCorpus(corpus, dict);

  std::vector<Skeleton> text;
  for (const CorpusVerse& verse : verses) {
    if (verse.index >= static_cast<int>(searchVerses.size())) {
      throw std::runtime_error("corpus verse " + std::to_string(verse.index + 1) +
                               " has no search text");
    }
    ++st.verses;
    std::vector<std::string_view> words = SplitWords(searchVerses[verse.index]);
    text.clear();
    for (std::string_view w : words) text.push_back(ArabicSkeleton(w));

    for (const CorpusWord& word : verse.words) {
      for (std::size_t k = 0; k < word.stems.size(); ++k) {
        int root = word.stems[k].root;
        auto before = word.stems.begin() + static_cast<std::ptrdiff_t>(k);
        if (std::none_of(word.stems.begin(), before,
                         [root](const Stem& s) { return s.root == root; })) {
          dict.CountWord(root);
        }
      }
    }

    std::vector<Group> path = Align(verse.words, text, false);
    if (path.empty()) {
      path = Align(verse.words, text, true);
      if (!path.empty()) st.nearMatchVerses += 1;
    }
    if (path.empty()) {
      ++st.misalignedVerses;
      st.misalignedVerseIndexes.push_back(verse.index);
      continue;
    }
    bool split = false;
    for (const Group& g : path) {
      if (g.nt > 1) {
        st.splitWords += 1;
        split = true;
      }
      if (g.nc > 1) st.joinedWords += 1;
      if (g.nc == 1) {
        for (const Stem& stem : verse.words[g.c].stems) {
          dict.AddDerivative(stem.root, words[StemWord(stem, g, text)]);
        }
      } else {
        for (std::size_t c = g.c; c < g.c + g.nc; ++c) {
          for (const Stem& stem : verse.words[c].stems) dict.AddDerivative(stem.root, words[g.t]);
        }
      }
    }
    if (split) ++st.versesWithSplits;
  }
  return dict.Take();
}

}  // namespace quran
