#pragma once

#include <QString>

#include "text/message.h"

// What the overview's window says: its title, the names of its parts and what saving its picture
// answers; the command line writes the picture with the same words.
namespace horalog {

QString overviewTitle();    // «Oversigt»
QString chartName();        // the chart's name for a screen reader
QString readingName();      // the progress bar's
QString readingProgress();  // its text, with Qt's %p for the per cent
QString readingNote();      // in the findings' place until the file is read
QString monthsName();       // «Måned for måned»
QString limitsName();       // «Arbejdstidens grænser», also the heading with its key
QString limitsHeading();
QString saveAsImage();    // the button's name, the save dialog's and its question's title
QString saveButton();     // with its key
QString closeName();      // «Luk»
QString closeButton();    // with its key
QString imageFileName();  // the name proposed
QString imageFilter();    // the save dialog's one filter, in Qt's form
QString unreadableOverview(const QString& error);
Message replaceImageQuestion(const QString& path);  // «Nej» the default
Message chartRefusedNotice(const QString& refusal);
QString chartNotSaved(const QString& path);
Message chartNotSavedNotice(const QString& path);
QString chartSaved(const QString& path);

}  // namespace horalog
