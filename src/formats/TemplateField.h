#pragma once

#include <QString>

// One field of the merge's template, as its dBASE table declares it. Every output maps these
// types to its own.
struct TemplateField {
    QString name;
    char type = 'C';  // C, N, F, L or D
    int width = 0;
    int decimals = 0;
};
