// The citation settings window: the style of the search window's citations and
// whether the clipboard carries them in the verse font, chosen while a preview
// shows the citation they make. Modal over the search window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "citation_text.h"

namespace quran {

struct CitationSettings {
  CitationStyle style;
  // Only the plain text formats go on the clipboard, so that a paste takes the
  // document's own font.
  bool documentFont = false;

  bool operator==(const CitationSettings&) const = default;
};

// The citation the preview shows for a style.
using CitationPreview = std::function<std::u16string(const CitationStyle&)>;

// Runs the window over owner, starting from *settings; OK stores the choices there
// and answers true, Cancel leaves them. The preview is drawn in verseFont.
bool ShowCitationSettings(HWND owner, const LOGFONTA& verseFont, CitationPreview preview,
                          CitationSettings* settings);

}  // namespace quran
