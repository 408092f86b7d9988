// SearchDialog: the add-in's one window. The user types Arabic text or picks a
// root, chooses a search mode, reads the verses found and the text of the one
// selected. It owns the verse store, so constructing it loads the data files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "arabic_edit.h"
#include "citation_settings.h"
#include "citation_text.h"
#include "dialog.h"
#include "verse_store.h"

namespace quran {

// The four modes are the ids of their radio buttons; 0 means none is checked.
enum SearchMode : std::int32_t {
  PartOfText = 1000,
  WholeWord = 1001,
  Roots = 1002,
  Derivatives = 1003,
};

inline constexpr std::size_t kTextBufferSize = kVerseTextSize;

// The field of the reference row's chapter list, which tells whether the user's last
// key erased, so that a name being erased is not completed again.
class ChapterEdit : public EditControl {
 public:
  bool m_erased = false;

 protected:
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class SearchDialog : public Dialog {
 public:
  explicit SearchDialog(HWND parent = nullptr);
  ~SearchDialog() override;

  void RunSearch();
  // Lists the verses of a reference as a search's result, within the previous
  // result when "within the results" is checked.
  void ShowVerses(std::span<const VerseRange> ranges);
  void ShowSelectedVerse();
  void SelectMode(int modeId);

  // The citations of the verses (store indexes, in the list's order) in the style;
  // a lone verse's marked range [start, end) is widened to whole words. Empty,
  // after a message, when a verse cannot be read.
  std::vector<Citation> BuildCitation(std::span<const std::uint32_t> verses,
                                      const CitationStyle& style, std::int32_t start = 0,
                                      std::int32_t end = 0);
  // The verses' texts into *texts and, pointing into them, the verses to cite; false,
  // after a message, when a verse cannot be read.
  bool ReadCitedVerses(std::span<const std::uint32_t> verses, std::int32_t start, std::int32_t end,
                       std::vector<std::string>* texts, std::vector<CitedVerse>* cited);
  // The citations in the chosen style, then each in the nearest style Windows-1256
  // writes, handed to the clipboard and the host.
  void CiteVerses(std::span<const std::uint32_t> verses, std::int32_t start, std::int32_t end);
  // Hands a citation to the clipboard, as Unicode and in the verse font, and its
  // Windows-1256 form as ANSI text and to the host; false after the clipboard
  // refused it.
  bool InsertCitation(std::u16string_view citation, const std::string& cp1256);

  // Settings of the window, kept per user in the registry.
  static bool ReadModeSetting(std::int32_t* mode);
  static bool WriteModeSetting(std::int32_t mode);
  // Off unless an "on" was saved whole.
  static bool ReadLooseSetting();
  static bool WriteLooseSetting(bool loose);
  // Off unless an "on" was saved whole.
  static bool ReadAllWordsSetting();
  static bool WriteAllWordsSetting(bool allWords);
  static bool ReadFontSetting(LOGFONTA* font);
  static bool WriteFontSetting(LOGFONTA font);
  static int MakeDefaultFont(LOGFONTA* font);
  // Each value damaged, missing or unknown keeps its default.
  static CitationSettings ReadCitationSettings();
  static bool WriteCitationSettings(const CitationSettings& settings);

  HWND m_hostWindow = nullptr;
  ArabicEdit m_searchEdit;
  ComboBoxControl m_rootCombo;
  EditControl m_verseEdit;
  EditControl m_verseCountEdit;
  EditControl m_occurrenceCountEdit;
  ListBoxControl m_resultList;
  ButtonControl m_resultsOnlyCheck;
  ButtonControl m_looseCheck;
  ButtonControl m_allWordsCheck;
  ButtonControl m_copyMarkedButton;
  ButtonControl m_copyVerseButton;
  ComboBoxControl m_chapterCombo;
  ChapterEdit m_chapterEdit;
  EditControl m_firstVerseEdit;
  EditControl m_lastVerseEdit;
  char m_textBuffer[kTextBufferSize] = {};
  std::unique_ptr<UniqueFont> m_font;
  std::int32_t m_searchMode = 0;
  std::int32_t m_firstModeId = PartOfText;
  std::int32_t m_lastModeId = Derivatives;
  HKL m_arabicLayout = nullptr;
  CitationSettings m_citationSettings;
  VerseStore m_store;
  // Set once start-up has finished: only such a window saves its mode.
  bool m_startedUp = false;
  bool m_completingChapter = false;

 protected:
  void BindControls() override;
  bool OnInitDialog() override;
  void OnCancel() override;
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool FindArabicLayout();
  void FillRootList();
  void OnShowWindow(WPARAM shown, LPARAM status);
  void OnDestroy();
  void OnModeButton(int id);
  void OnModeClicked(int id);
  void OnLooseClicked();
  void OnAllWordsClicked();
  void OnTextMode();
  void OnRootMode();
  void OnAbout();
  void OnCopyVerses();
  void OnCopyMarked();
  void OnChooseFont();
  void OnCitationSettings();
  void FillChapterList();
  // Completes a chapter's name as it is typed, with or without its article.
  void OnChapterTyped();
  void OnShowReference();
  // Enter shows the verses in the row of the reference, and searches elsewhere.
  void OnReferenceFocus();
  void OnReferenceFieldFocus(int id);
  void OnSearchFocus();
  // Search... on a selection that is a reference shows its verses; false, with
  // nothing done, for any other selection.
  bool ShowSelectedReference(std::u16string_view selection);
  // The reference's chapter and verses in the row, when it names one range.
  void ShowReferenceInRow(const Reference& reference);
  void ShowReferenceError(const Reference& reference);
  // After a search or a reference that listed nothing.
  void ClearResults();
  void ListResults(std::int32_t occurrences);
  // The verses the settings window's preview cites: those the copy button would,
  // the first few of them; else the first listed; else 112:1-4.
  std::vector<std::uint32_t> PreviewVerses();
  // The checked mode button, or 0.
  int CheckedMode() const;
  // The occurrences a search of the field of the mode finds, or -1 when its query
  // is empty and the store was left as it was. With allWords, a text is searched as
  // all its words in any order.
  std::int32_t SearchField(int mode, const std::uint8_t* filter, Matching matching,
                           bool allWords = false);
  // Says that nothing was found, offering the first more forgiving search that finds
  // verses. Answers its occurrences when the user takes it (its mode and boxes set),
  // else 0 with the store as a search that found nothing leaves it.
  std::int32_t ReportNothingFound(int mode, const std::uint8_t* filter, Matching searched,
                                  bool allWords);
  void ShowNoResult();
  // A message about something the user asked for that could not be done.
  void ShowError(const wchar_t* text) const;

  static const MessageEntry<SearchDialog> kMessages[];
};

}  // namespace quran
