#pragma once

// A benchmark runs with nobody at the screen: every box it meets is written to stderr and answered at once
// with its default (OK, No, Cancel), so none can wait for an answer that never comes.
void answerBoxesOnStderr();
