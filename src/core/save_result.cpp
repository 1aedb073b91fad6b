#include "core/save_result.h"

#include <utility>

#include "core/file_io.h"

namespace tesvar {

void SaveResult::Tell(Messages& messages) const {
  if (saved()) return;
  if (refusalIsReport) {
    messages.Report(refusal);
  } else {
    messages.ErrorBox(refusal);
  }
}

SaveResult SaveResult::NotWritten(std::string text) {
  SaveResult result;
  result.outcome = SaveOutcome::kNotWritten;
  result.refusal = std::move(text);
  return result;
}

SaveResult SaveResult::WriteFailed(const IoError& error) {
  SaveResult result;
  result.outcome = SaveOutcome::kWriteFailed;
  result.cause = GenericReportText(error.what());
  result.refusal = result.cause;
  result.refusalIsReport = true;
  return result;
}

SaveResult SaveFile(const std::string& path, const std::string& bytes,
                    const std::string& cannotCreateText) {
  try {
    WriteFileReplacing(path, bytes);
  } catch (const CannotCreateError& e) {
    SaveResult result;
    result.outcome = SaveOutcome::kCannotCreate;
    result.refusal = cannotCreateText + path;
    result.cause = GenericReportText(e.what());
    return result;
  } catch (const IoError& e) {
    return SaveResult::WriteFailed(e);
  }
  return SaveResult();
}

}  // namespace tesvar
