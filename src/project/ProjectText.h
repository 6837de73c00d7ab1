#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Project files are UTF-8 when written here; files made on Windows are Windows-1252.
[[nodiscard]] QString decodeProjectText(QByteArrayView bytes);
[[nodiscard]] QString decodeWindows1252(QByteArrayView bytes);
[[nodiscard]] QByteArray encodeProjectText(const QString &text);
