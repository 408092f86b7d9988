#include "citation_settings.h"

#include <richedit.h>

#include <utility>

#include "dialog.h"
#include "product.h"
#include "resource.h"

namespace quran {
namespace {

// A radio group whose ids run first..last in the order of its choices' values.
struct RadioGroup {
  int first;
  int last;
};
constexpr RadioGroup kBrackets = {IDC_CITE_BRACKETS_PLAIN, IDC_CITE_BRACKETS_ORNATE};
constexpr RadioGroup kReference = {IDC_CITE_REFERENCE_CHAPTER, IDC_CITE_REFERENCE_SHORT};
constexpr RadioGroup kDigits = {IDC_CITE_DIGITS_WESTERN, IDC_CITE_DIGITS_ARABIC};
constexpr RadioGroup kSeparator = {IDC_CITE_SEPARATOR_NONE, IDC_CITE_SEPARATOR_PARAGRAPH};

// The rich edit control's library, loaded while the window that uses it lives.
class RichEditLibrary {
 public:
  RichEditLibrary() : module_(LoadLibraryW(L"msftedit.dll")) {}
  ~RichEditLibrary() {
    if (module_) FreeLibrary(module_);
  }
  RichEditLibrary(const RichEditLibrary&) = delete;
  RichEditLibrary& operator=(const RichEditLibrary&) = delete;
  explicit operator bool() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

class CitationSettingsDialog : public Dialog {
 public:
  CitationSettingsDialog(const LOGFONTA& verseFont, CitationPreview preview,
                         const CitationSettings& settings)
      : Dialog(IDD_CITATION_SETTINGS),
        verseFont_(verseFont),
        makePreview_(std::move(preview)),
        settings_(settings) {}

  const CitationSettings& Chosen() const { return settings_; }

 protected:
  void BindControls() override {
    Bind(IDC_CITE_JOIN, join_);
    Bind(IDC_CITE_DOCUMENT_FONT, documentFont_);
    Bind(IDC_CITE_PREVIEW, previewText_);
  }

  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    Check(kBrackets, static_cast<int>(settings_.style.brackets));
    Check(kReference, static_cast<int>(settings_.style.reference));
    Check(kDigits, static_cast<int>(settings_.style.digits));
    Check(kSeparator, static_cast<int>(settings_.style.separator));
    join_.SetCheck(settings_.style.joinConsecutive);
    documentFont_.SetCheck(settings_.documentFont);
    previewFont_.reset(CreateFontIndirectA(&verseFont_));
    // Without the verse font the preview keeps the dialog's, rather than none.
    if (previewFont_.get()) {
      previewText_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(previewFont_.get()), TRUE);
    }
    ShowPreview();
    return true;
  }

  void OnOK() override {
    settings_ = Choices();
    EndDialog(IDOK);
  }

  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnChoice(int) { ShowPreview(); }

  void ShowPreview() {
    if (!makePreview_) return;
    previewText_.SetUnicodeText(makePreview_(Choices().style));
    // Paragraph formats hold for the paragraphs there are: set after each text.
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof paragraph;
    paragraph.dwMask = PFM_RTLPARA | PFM_ALIGNMENT;
    paragraph.wEffects = PFE_RTLPARA;
    paragraph.wAlignment = PFA_RIGHT;
    previewText_.Send(EM_SETSEL, 0, -1);
    previewText_.Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    previewText_.Send(EM_SETSEL, 0, 0);
  }

  void Check(RadioGroup group, int value) const {
    int id = group.first + value;
    CheckRadioButton(Window(), group.first, group.last, id <= group.last ? id : group.first);
  }

  int Checked(RadioGroup group) const {
    for (int id = group.first; id <= group.last; ++id) {
      if (IsDlgButtonChecked(Window(), id) == BST_CHECKED) return id - group.first;
    }
    return 0;
  }

  CitationSettings Choices() const {
    CitationSettings chosen;
    chosen.style.brackets = static_cast<CitationBrackets>(Checked(kBrackets));
    chosen.style.reference = static_cast<CitationReference>(Checked(kReference));
    chosen.style.digits = static_cast<CitationDigits>(Checked(kDigits));
    chosen.style.joinConsecutive = join_.IsChecked();
    chosen.style.separator = static_cast<CitationSeparator>(Checked(kSeparator));
    chosen.documentFont = documentFont_.IsChecked();
    return chosen;
  }

  LOGFONTA verseFont_;
  CitationPreview makePreview_;
  CitationSettings settings_;
  UniqueFont previewFont_;
  ButtonControl join_;
  ButtonControl documentFont_;
  Control previewText_;

  static const MessageEntry<CitationSettingsDialog> kMessages[];
};

const MessageEntry<CitationSettingsDialog> CitationSettingsDialog::kMessages[] = {
    OnCommandRange<CitationSettingsDialog>(IDC_CITE_BRACKETS_PLAIN, IDC_CITE_DOCUMENT_FONT,
                                           BN_CLICKED, &CitationSettingsDialog::OnChoice),
    OnCommandRange<CitationSettingsDialog>(IDC_CITE_SEPARATOR_NONE, IDC_CITE_SEPARATOR_PARAGRAPH,
                                           BN_CLICKED, &CitationSettingsDialog::OnChoice),
};

bool CitationSettingsDialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Dispatch(this, kMessages, message, wParam, lParam);
}

}  // namespace

bool ShowCitationSettings(HWND owner, const LOGFONTA& verseFont, CitationPreview preview,
                          CitationSettings* settings) {
  RichEditLibrary richEdit;
  // The preview's control class comes with the library: without it the window
  // cannot be made, and the user is told so rather than left with a dead button.
  if (!richEdit) {
    MessageBoxW(owner,
                L"The citation settings cannot open: Windows' rich edit library "
                L"(msftedit.dll) could not be loaded.",
                L"" QURAN_PRODUCT_TITLE, MB_OK | MB_ICONINFORMATION);
    return false;
  }
  CitationSettingsDialog dialog(verseFont, std::move(preview), *settings);
  if (dialog.DoModal(owner) != IDOK) return false;
  *settings = dialog.Chosen();
  return true;
}

}  // namespace quran
