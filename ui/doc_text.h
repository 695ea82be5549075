// SPDX-License-Identifier: GPL-3.0-or-later
// The one conversion between what the views show (QString) and what the
// document holds: document texts (cells, editor values) are Latin-1, one byte
// per character, as the radio and the codeplug files carry them; messages
// and list entries are UTF-8.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace pellaro {

// An editor's text for the document. A character Latin-1 cannot hold becomes
// DEL, which every key filter refuses and no number reading accepts.
std::string toDocText(const QString& text);
// A document text for display.
QString fromDocText(std::string_view text);
// A message or list entry (UTF-8) for display.
QString displayText(std::string_view utf8);

}   // namespace pellaro
