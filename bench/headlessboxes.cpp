#include "headlessboxes.h"

#include "boxes/boxes.h"

#include <cstdio>

void answerBoxesOnStderr()
{
    boxes::setHandler([](const boxes::Call &call) {
        std::fprintf(stderr, "box answered by default: %s: %s\n", qPrintable(call.title), qPrintable(call.text));
        boxes::Answer cancelled;
        cancelled.button = QMessageBox::No;
        cancelled.accepted = false;
        return cancelled;
    });
}
