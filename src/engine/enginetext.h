#pragma once

#include <QString>

// The engine's labels (sg_lab_msg), the Link commands' labels and the result texts stay Chinese source texts
// in every language: observers recognise states by them and the command line's JSON carries them unchanged.
// Whatever shows one to a person passes it through engineText(), which gives it in the running language.
QString engineText(const QString &source);

// The text of a result (its code and source text, as a worker's JSON carries them) in the running language;
// a wrong chip's "目标MCU是 XXXX" keeps the chip it names.
QString workerResultText(int code, const QString &text);
