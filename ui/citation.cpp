// Citations: the selected verses, or the marked words of the one shown, as
// "(text) (chapter: number)", put on the clipboard and handed to the host.
// Compiled with a Windows-1256 execution character set.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "host_command.h"
#include "product.h"
#include "search_dialog.h"
#include "win_text.h"

namespace quran {
namespace {

const char kWholeVerseFormat[] = "(%s) (%s: %d)";
const char kPartFormat[] = "(%s) (%s: من الآية %d)";
constexpr std::size_t kClipboardBlockSize = 10240;

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

}  // namespace

void SearchDialog::ShowError(const wchar_t* text) const {
  MessageBoxW(Window(), text, L"" QURAN_PRODUCT_TITLE, MB_OK | MB_ICONINFORMATION);
}

void SearchDialog::OnCopyVerses() {
  int count = m_resultList.SelectedCount();
  if (count <= 0) return;
  std::unique_ptr<int[]> items(new (std::nothrow) int[static_cast<std::size_t>(count)]);
  if (!items) {
    ShowError(L"Not enough memory to copy the verses.");
    return;
  }
  // Ascending, which is the order of the list.
  count = m_resultList.SelectedItems(items.get(), count);
  for (int i = 0; i < count; ++i) {
    auto verse = static_cast<std::uint32_t>(m_resultList.ItemData(items[i]));
    if (BuildCitation(verse, 0, 0)) InsertCitation(m_textBuffer);
  }
}

void SearchDialog::OnCopyMarked() {
  int selected = 0;
  if (m_resultList.SelectedCount() != 1 || m_resultList.SelectedItems(&selected, 1) != 1) return;
  auto verse = static_cast<std::uint32_t>(m_resultList.ItemData(selected));
  DWORD start = 0, end = 0;
  m_verseEdit.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start == end) return;
  if (BuildCitation(verse, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end))) {
    InsertCitation(m_textBuffer);
  }
}

bool SearchDialog::BuildCitation(std::uint32_t verse, std::int32_t start, std::int32_t end) {
  if (!m_store.GetVerseText(verse, m_textBuffer, sizeof m_textBuffer)) {
    ShowError(L"This verse cannot be cited: its text is too long.");
    return false;
  }
  // The citation is written over the buffer the text is in.
  std::string text(m_textBuffer);
  auto n = static_cast<std::int32_t>(text.size());
  // The field's positions are the text's, one character a byte; never past its end.
  std::int32_t s = std::clamp(start, 0, n);
  std::int32_t e = std::clamp(end, 0, n);
  if (s > e) std::swap(s, e);
  if (s != e) {
    // Only the blank separates words: the end moves right to just after one, or
    // to the end; the start moves left onto one, or to the first character.
    while (e < n && text[e - 1] != ' ') ++e;
    while (s != 0 && text[s] != ' ') --s;
  }
  if (s == 0 && e == n) e = 0;
  const VerseIndexRecord& record = m_store.VerseIndex[verse];
  int written;
  if (s == e) {
    written = std::snprintf(m_textBuffer, sizeof m_textBuffer, kWholeVerseFormat, text.c_str(),
                            SuraName(record.chapter), record.verse);
  } else {
    text.resize(static_cast<std::size_t>(e));
    written = std::snprintf(m_textBuffer, sizeof m_textBuffer, kPartFormat, text.c_str() + s,
                            SuraName(record.chapter), record.verse);
  }
  if (written < 0 || static_cast<std::size_t>(written) >= sizeof m_textBuffer) {
    // A cut citation would cite words the verse does not end with.
    m_textBuffer[0] = '\0';
    ShowError(L"This citation is too long to copy.");
    return false;
  }
  return true;
}

bool SearchDialog::InsertCitation(const char* citation) {
  if (m_arabicLayout) ActivateKeyboardLayout(m_arabicLayout, KLF_SETFORPROCESS);
  std::size_t size = std::strlen(citation) + 1;
  GlobalBlock text(GMEM_MOVEABLE | GMEM_DDESHARE, std::max(size, kClipboardBlockSize));
  // Programs that paste Unicode get the Arabic right whatever the code page.
  std::wstring wide = FromCodePage(citation);
  GlobalBlock unicode(GMEM_MOVEABLE | GMEM_DDESHARE, (wide.size() + 1) * sizeof(wchar_t));
  if (!text || !unicode) {
    ShowError(L"Not enough memory to copy the verse.");
    return false;
  }
  text.Fill(citation, size);
  unicode.Fill(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  bool handed = false;
  if (OpenClipboard(Window())) {
    EmptyClipboard();
    handed = text.HandTo(CF_TEXT);
    if (handed) unicode.HandTo(CF_UNICODETEXT);
    CloseClipboard();
  }
  if (!handed) {
    MessageBoxW(Window(), L"Error: clipboard cannot be opened", L"   ", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  InsertHostText(citation);
  return true;
}

}  // namespace quran
