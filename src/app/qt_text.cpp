#include "app/qt_text.h"

#include <QFile>
#include <QStringDecoder>

namespace tesvar {

QString FromRecordText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToRecordText(const QString& text) { return text.toLatin1().toStdString(); }

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromMessage(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return FromRecordText(text);
}

}  // namespace tesvar
