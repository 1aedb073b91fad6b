#include "formats/load_result.h"

namespace tesvar {

void LoadResult::Tell(Messages& messages) const {
  for (const LoadNotice& notice : notices) {
    switch (notice.kind) {
      case LoadNotice::Kind::kErrorBox:
        messages.ErrorBox(notice.text);
        break;
      case LoadNotice::Kind::kBell:
        messages.Bell();
        break;
      case LoadNotice::Kind::kStatusText:
        messages.StatusText(notice.panel, notice.text);
        break;
      case LoadNotice::Kind::kReport:
        messages.Report(notice.text);
        break;
    }
  }
}

void NoticeRecorder::ErrorBox(const std::string& text) {
  notices_.push_back({LoadNotice::Kind::kErrorBox, 0, text});
}

void NoticeRecorder::Bell() { notices_.push_back({LoadNotice::Kind::kBell, 0, std::string()}); }

void NoticeRecorder::StatusText(int panel, const std::string& text) {
  notices_.push_back({LoadNotice::Kind::kStatusText, panel, text});
}

void NoticeRecorder::Report(const std::string& text) {
  notices_.push_back({LoadNotice::Kind::kReport, 0, text});
}

void NoticeRecorder::Note(const std::string& text) { notes_.push_back(text); }

}  // namespace tesvar
