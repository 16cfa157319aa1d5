#pragma once

#include <QString>

// The output name proposed from the two masks: the file mask when it is not "*", else the
// feature mask when it is not "*", each with every "*" and then every "?" removed; "Merge"
// when both are "*". Masks are taken as typed (not trimmed), so blanks stay in the name.
QString proposedOutputName(const QString& fileMask, const QString& featureMask);
