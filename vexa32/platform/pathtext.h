#pragma once
// How the host layer reads a path text of the suite: which characters separate its
// components and where its last component starts. Pure functions; no errors.

#include <QStringView>

namespace Vexa32::Platform {

// True for a text that starts with "/": a host path, not mapped through a drive.
bool IsHostPathText(QStringView text);

// True for "/" and "\", which separate components in every path text.
bool IsSeparator(QChar c);

// Length of the part of text before its last component: up to and including the last
// separator, or the "X:" of a drive-relative text; 0 when the text is one bare component.
qsizetype DirectoryPartLength(QStringView text);

} // namespace Vexa32::Platform
