#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Realistic card content for demos and tests: archive files of measurement records, a
// configuration, a report and a system image, with varied modification times.
namespace SampleCard {

// Creates the folder (and its parents) and fills it. False with *pError set on failure.
bool Make(const QString &strDir, QString *pError);

// nRecords archive records of a recorder with eight channels, starting at nStartSecs (seconds
// since 1970, recorder time); the same arguments always give the same bytes.
QByteArray ArchiveData(int nRecords, qint64 nStartSecs, quint32 nSeed);

} // namespace SampleCard
