#pragma once

#include "helpviewer/PopupTopics.h"
#include "helpviewer/RunList.h"

#include <QString>
#include <QTextCharFormat>

#include <string_view>

class QTextEdit;

namespace tamblin {

// Bytes of a page text for display: UTF-8 when valid, otherwise Windows-1252.
QString DecodePageText(std::string_view bytes);
// The renderer's default font: the default face, the base font size and the default text
// colour. Sizes follow the desktop's font size when the defaults ask for it.
QTextCharFormat DefaultCharFormat(const TextDefaults& defaults);
// Appends the runs at the end of edit. Each format run covers the text from where it stands
// to the next format run and sets only the attributes in its mask there, so formats never
// add up across runs.
void PlayRunList(QTextEdit& edit, const RunList& runs, const TextDefaults& defaults);

} // namespace tamblin
