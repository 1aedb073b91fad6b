#include "app/qt_text.h"

#include <QFile>
#include <QStringDecoder>

#include "core/code_page.h"

namespace tesvar {

namespace {

// Calls f(character, its text) for each character, pairs of surrogates as one.
template <typename F>
void ForEachCharacter(const QString& text, F f) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    qsizetype length = 1;
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      length = 2;
    }
    if (!f(c, text.mid(i, length))) return;
    i += length - 1;
  }
}

}  // namespace

QString FromRecordText(const std::string& text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char b : text)
    out += QChar(static_cast<char16_t>(CodePageToUnicode(static_cast<unsigned char>(b))));
  return out;
}

std::string ToRecordText(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  ForEachCharacter(text, [&](char32_t c, const QString&) {
    const int b = UnicodeToCodePage(c);
    out += b < 0 ? '?' : static_cast<char>(b);
    return true;
  });
  return out;
}

QString FirstUnstorableCharacter(const QString& text) {
  QString found;
  ForEachCharacter(text, [&](char32_t c, const QString& character) {
    if (UnicodeToCodePage(c) >= 0) return true;
    found = character;
    return false;
  });
  return found;
}

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
