#pragma once

#include <QString>
#include <cstdint>

#include "text/message.h"

#include "timekeeping/stored_arrival.h"

// What the window says about the open day: the questions it asks, its status lines and its
// refusals.
namespace horalog {

// The question about a stored arrival from another day, naming it as it is stored.
Message otherDayQuestion(const StoredArrival& stored);
// Whether a typed arrival replaces the one registered.
Message replaceArrivalQuestion();

QString arrivalStatus(const TypedTime& arrival);
QString departureStatus(std::int16_t worked);
QString dayTooLargeRefusal();
QString dayClosedElsewhere();
// The status lines when another copy of the program changed the shared store.
QString arrivalTakenOver(const QString& kommeText);
QString dayClosedElsewhereStatus();
QString settingsChangedElsewhere();
// The day's record is on disk, but the store could not forget the open day.
QString daySavedStoreFailed(const QString& error);

}  // namespace horalog
