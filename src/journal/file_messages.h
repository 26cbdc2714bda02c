#pragma once

#include <QString>
#include <cstdint>

#include "text/message.h"

// What the window says about the registration file: the message before it ends on a file error,
// and the questions and notices about the file.
namespace horalog {

// The message before the program ends on a file error. The menu commands leave a blank line
// before its last line; the start-up and a closed day do not.
enum class LastLineGap { None, BlankLine };
Message fileErrorMessage(const QString& firstLine, const QString& path, const QString& error,
                         LastLineGap gap);
QString creatingFailed();  // «Fejl under oprettelse af filen: »
QString writingFailed();   // «Fejl under skrivning til filen: »
// The status line when another program changed the file and its figures were read again.
QString fileChangedNotice();
InputRequest balanceQuestion();
// Another first start made the file while this one asked for the balance: its balance counts.
Message createdElsewhereNotice(std::int32_t total);
// A balance answered beyond what the file's column holds.
QString balanceTooLarge(const QString& answer);
// Why a record was not written: the file the store names is gone under a running window (moved
// or deleted by another program), or what is at its path is no file.
QString missingFileText(const QString& filnavn);
QString unusableFileText(const QString& filnavn);

}  // namespace horalog
