// Citations: the selected verses, or the marked words of the one shown, in the
// window's citation style, put on the clipboard and handed to the host.
// Compiled with a Windows-1256 execution character set.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "clipboard_formats.h"
#include "host_command.h"
#include "product.h"
#include "search_dialog.h"
#include "win_text.h"

namespace quran {
namespace {

constexpr std::size_t kClipboardBlockSize = 10240;
// A mark of blanks alone: nothing to cite.
constexpr wchar_t kMarkHoldsNoWord[] = L"ظلل كلمة أو أكثر من نص الآية ثم اضغط «نسخ المظلل».";
// The face and size when the window's font cannot be read.
constexpr char16_t kDefaultFace[] = u"Traditional Arabic";
constexpr int kDefaultHalfPoints = 32;

// A global memory block, freed unless the clipboard took it.
class GlobalBlock {
 public:
  GlobalBlock(UINT flags, std::size_t size) : block_(GlobalAlloc(flags, size)) {}
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  explicit operator bool() const { return block_ != nullptr; }
  // Copies size bytes in; the block must be large enough.
  void Fill(const void* data, std::size_t size) {
    void* memory = GlobalLock(block_);
    std::memcpy(memory, data, size);
    GlobalUnlock(block_);
  }
  // Gives the block to the clipboard; true when it took it.
  bool HandTo(UINT format) {
    if (SetClipboardData(format, block_) != block_) return false;
    block_ = nullptr;
    return true;
  }

 private:
  HGLOBAL block_;
};

// A block holding the bytes and a terminating zero; empty when memory is short.
std::unique_ptr<GlobalBlock> BlockOf(const void* data, std::size_t size, std::size_t terminator,
                                     std::size_t least = 0) {
  auto block = std::make_unique<GlobalBlock>(GMEM_MOVEABLE | GMEM_DDESHARE,
                                             std::max(size + terminator, least));
  if (!*block) return nullptr;
  std::vector<char> bytes(static_cast<const char*>(data), static_cast<const char*>(data) + size);
  bytes.resize(size + terminator, '\0');
  block->Fill(bytes.data(), bytes.size());
  return block;
}

// The face and size in points of the font the verse field shows.
CitationFont FontOf(HFONT font) {
  CitationFont result{kDefaultFace, kDefaultHalfPoints};
  LOGFONTW logFont = {};
  if (!font || !GetObjectW(font, sizeof logFont, &logFont) || !logFont.lfFaceName[0]) {
    return result;
  }
  result.face.assign(logFont.lfFaceName, logFont.lfFaceName + wcslen(logFont.lfFaceName));
  // The size a font dialog shows is the em's, without the internal leading.
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics = {};
  if (GetTextMetricsW(screen, &metrics)) {
    int em = metrics.tmHeight - metrics.tmInternalLeading;
    int halfPoints = MulDiv(em, 144, GetDeviceCaps(screen, LOGPIXELSY));
    if (halfPoints > 0) result.halfPoints = halfPoints;
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return result;
}

}  // namespace

void SearchDialog::ShowError(const wchar_t* text) const {
  MessageBoxW(Window(), text, L"" QURAN_PRODUCT_TITLE, MB_OK | MB_ICONINFORMATION);
}

void SearchDialog::OnCopyVerses() {
  try {
    int count = m_resultList.SelectedCount();
    if (count <= 0) return;
    std::vector<int> items(static_cast<std::size_t>(count));
    // Ascending, which is the order of the list.
    count = m_resultList.SelectedItems(items.data(), count);
    std::vector<std::uint32_t> verses;
    for (int i = 0; i < count; ++i) {
      verses.push_back(static_cast<std::uint32_t>(m_resultList.ItemData(items[i])));
    }
    CiteVerses(verses, 0, 0);
  } catch (const std::bad_alloc&) {
    ShowError(L"Not enough memory to copy the verses.");
  }
}

void SearchDialog::OnCopyMarked() {
  int selected = 0;
  if (m_resultList.SelectedCount() != 1 || m_resultList.SelectedItems(&selected, 1) != 1) return;
  std::uint32_t verse[] = {static_cast<std::uint32_t>(m_resultList.ItemData(selected))};
  DWORD start = 0, end = 0;
  m_verseEdit.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start == end) return;
  try {
    CiteVerses(verse, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end));
  } catch (const std::bad_alloc&) {
    ShowError(L"Not enough memory to copy the verse.");
  }
}

bool SearchDialog::ReadCitedVerses(std::span<const std::uint32_t> verses, std::int32_t start,
                                   std::int32_t end, std::vector<std::string>* texts,
                                   std::vector<CitedVerse>* cited) {
  for (std::uint32_t verse : verses) {
    if (verse >= static_cast<std::uint32_t>(kVerseCount) ||
        !m_store.GetVerseText(verse, m_textBuffer, sizeof m_textBuffer)) {
      ShowError(L"This verse cannot be cited: its text is too long.");
      return false;
    }
    texts->emplace_back(m_textBuffer);
  }
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const VerseIndexRecord& record = m_store.VerseIndex[verses[i]];
    cited->push_back({record.chapter, record.verse, (*texts)[i]});
  }
  if (cited->size() == 1) {
    (*cited)[0].markStart = start;
    (*cited)[0].markEnd = end;
  }
  return true;
}

std::vector<Citation> SearchDialog::BuildCitation(std::span<const std::uint32_t> verses,
                                                  const CitationStyle& style, std::int32_t start,
                                                  std::int32_t end) {
  std::vector<std::string> texts;
  std::vector<CitedVerse> cited;
  if (!ReadCitedVerses(verses, start, end, &texts, &cited)) return {};
  return BuildCitations(cited, style);
}

void SearchDialog::CiteVerses(std::span<const std::uint32_t> verses, std::int32_t start,
                              std::int32_t end) {
  std::vector<std::string> texts;
  std::vector<CitedVerse> cited;
  if (!ReadCitedVerses(verses, start, end, &texts, &cited)) return;
  if (cited.size() == 1 && !MarkHoldsWords(cited[0])) {
    ShowError(kMarkHoldsNoWord);
    return;
  }
  // Text that Windows-1256 holds, in the style nearest the chosen one: one citation
  // for each of the chosen style's, as both join alike.
  std::vector<Citation> citations = BuildCitations(cited, m_citationSettings.style);
  std::vector<Citation> plain = BuildCitations(cited, Cp1256Style(m_citationSettings.style));
  std::string cp1256;
  for (std::size_t i = 0; i < citations.size() && i < plain.size(); ++i) {
    if (ToCp1256(plain[i].text, &cp1256)) InsertCitation(citations[i].text, cp1256);
  }
}

std::vector<std::uint32_t> SearchDialog::PreviewVerses() {
  // Enough to show a joined run; a long selection would only slow the preview.
  constexpr int kMostPreviewed = 4;
  std::vector<std::uint32_t> verses;
  int count = m_resultList.SelectedCount();
  if (count > 0) {
    std::vector<int> items(static_cast<std::size_t>(count));
    count = m_resultList.SelectedItems(items.data(), count);
    for (int i = 0; i < count && i < kMostPreviewed; ++i) {
      verses.push_back(static_cast<std::uint32_t>(m_resultList.ItemData(items[i])));
    }
  } else if (m_resultList.Count() > 0) {
    verses.push_back(static_cast<std::uint32_t>(m_resultList.ItemData(0)));
  } else {
    for (int v = 0; v < kVerseCount; ++v) {
      if (m_store.VerseIndex[v].chapter == 112) verses.push_back(static_cast<std::uint32_t>(v));
    }
  }
  return verses;
}

bool SearchDialog::InsertCitation(std::u16string_view citation, const std::string& cp1256) {
  if (m_arabicLayout) ActivateKeyboardLayout(m_arabicLayout, KLF_SETFORPROCESS);
  auto text = BlockOf(cp1256.data(), cp1256.size(), 1, kClipboardBlockSize);
  // Programs that paste Unicode get the Arabic right whatever the code page.
  auto unicode = BlockOf(citation.data(), citation.size() * sizeof(char16_t), sizeof(char16_t));
  if (!text || !unicode) {
    ShowError(L"Not enough memory to copy the verse.");
    return false;
  }
  // Word and other editors paste these in the verse font; a citation without them
  // still pastes as text, in the document's font.
  std::unique_ptr<GlobalBlock> rich, web;
  if (!m_citationSettings.documentFont) {
    CitationFont font = FontOf(m_font ? m_font->get() : nullptr);
    std::string rtf = ClipboardRtf(citation, font);
    std::string html = ClipboardHtml(citation, font);
    rich = BlockOf(rtf.data(), rtf.size(), 1);
    web = BlockOf(html.data(), html.size(), 1);
  }
  bool handed = false;
  if (ClipboardLock clipboard(Window()); clipboard) {
    EmptyClipboard();
    handed = text->HandTo(CF_TEXT);
    if (handed) unicode->HandTo(CF_UNICODETEXT);
    if (handed && rich) rich->HandTo(RegisterClipboardFormatW(L"Rich Text Format"));
    if (handed && web) web->HandTo(RegisterClipboardFormatW(L"HTML Format"));
  }
  if (!handed) {
    MessageBoxW(Window(), L"Error: clipboard cannot be opened", L"   ", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  InsertHostText(cp1256.c_str());
  return true;
}

}  // namespace quran
