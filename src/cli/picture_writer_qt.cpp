#include "cli/picture_writer_qt.h"

#include <cstdlib>

#include "core/date_stamp.h"
#include "core/file_io.h"
#include "core/save_result.h"

namespace tesvar::cli {

std::string WithPdfCreationDate(std::string pdf, const StampTime& t) {
  static const std::string kKey = "/CreationDate (D:";
  std::size_t at = pdf.find(kKey);
  if (at == std::string::npos) return pdf;
  std::size_t digits = at + kKey.size();
  if (digits + 15 > pdf.size() || pdf[digits + 14] != 'Z') return pdf;
  for (std::size_t i = digits; i < digits + 14; ++i) {
    if (pdf[i] < '0' || pdf[i] > '9') return pdf;
  }
  // The same 14 digits: every byte offset of the cross-reference table stays.
  std::string stamp = FormatDatePattern("yyyymmdd", t, '/');
  for (int v : {t.hour, t.minute, t.second}) {
    stamp += static_cast<char>('0' + v / 10);
    stamp += static_cast<char>('0' + v % 10);
  }
  if (stamp.size() == 14) pdf.replace(digits, 14, stamp);
  return pdf;
}

SaveResult QtPictureWriter::WritePrintout(const std::string& path, const WriteRequest& request) {
  SaveResult result = QtPictureRenderer::WritePrintout(path, request);
  // Qt stamps the document with the clock; a reproducible build asks for
  // SOURCE_DATE_EPOCH instead, as the SP and JCAMP-DX stamps do.
  if (!result.saved() || std::getenv("SOURCE_DATE_EPOCH") == nullptr) return result;
  try {
    const std::string pdf = ReadWholeFile(path);
    const std::string stamped = WithPdfCreationDate(pdf, CurrentStampTime());
    if (stamped != pdf) WriteFileReplacing(path, stamped);
  } catch (const IoError& e) {
    return SaveResult::WriteFailed(e);
  }
  return result;
}

}  // namespace tesvar::cli
