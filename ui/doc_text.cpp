// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/doc_text.h"

namespace pellaro {

std::string toDocText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text)
        out.push_back(c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '\x7f');
    return out;
}

QString fromDocText(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString displayText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}   // namespace pellaro
