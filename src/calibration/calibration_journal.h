#pragma once
// The calibration journal "results_file.txt": one 19-line block per load and per
// "Complete", with the box texts as the operator saw them.

#include "calibration/buoy_marking.h"

#include <QDateTime>
#include <QString>

inline const QString kJournalFileName = QStringLiteral("results_file.txt");

// Loads label the marks "Twips", "Complete" labels them "Pixels" (the values are the
// same box texts either way).
enum class JournalForm { Twips, Pixels };

QString journalBlock(const QDateTime& now, const QString& description1, const QString& description2,
                     int gridNumber, const CoordinateTexts& texts, JournalForm form);
