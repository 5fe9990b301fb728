#include "app/window/core_text.h"

#include <QFile>
#include <QStringDecoder>

namespace glossator {

QString FromCore(std::string_view text) {
  QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(bytes);
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(bytes);
}

std::string ToCore(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace glossator
