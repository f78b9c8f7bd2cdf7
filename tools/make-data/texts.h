// Interface texts of the shipped languages, group by group.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace makedata {

struct TextGroup {
    QString name;
    QStringList texts;
};

// Usage codes of the key label table, in table order (133 entries).
QList<int> keyLabelCodes();

// Groups of a language file in the order the scene fetches them.
QList<TextGroup> englishGroups();
QList<TextGroup> chineseSimplifiedGroups();

} // namespace makedata
