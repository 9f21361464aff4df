#pragma once

#include "chip/mcuinfo.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include <cstdint>

// What the commands print on stdout: JSON objects for --json (the keys are what scripts depend on) and
// the plain text beside each.

QJsonArray chipsJson(const QVector<McuInfo> &chips);
QString chipsText(const QVector<McuInfo> &chips);

// The current chip, its enabled areas with size and checksum, and the production settings.
QJsonObject infoJson();
QString infoText();

QJsonObject resultJson(int code, const QString &text);
QJsonObject joinedJson(QJsonObject object, const QJsonObject &extra);  // extra's keys win

// Blank check: every enabled area's checksum from the chip and whether it is the erased sum.
QJsonObject blankJson(int code, const QString &text);
QString blankText();

QJsonObject fwVersionJson(int code, uint16_t H, uint16_t M, uint16_t L);
QString versionText(uint16_t H, uint16_t M, uint16_t L);  // "H.M.L"

// Factory parameters from the NVR3 image: the HRC clock and every described trim byte.
QJsonObject factoryJson(int code, const QString &text);
QString factoryText();

void printJson(const QJsonObject &object);
void printJson(const QJsonArray &array);
void printText(const QString &text);  // stdout, UTF-8, as given
// Flushes and closes stdout, last thing before the program ends. The system's reason when a write to it
// failed on the way or fails now (a full disk, /dev/full), else empty.
QString closeOutput();
