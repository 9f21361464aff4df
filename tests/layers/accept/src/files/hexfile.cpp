// Fixture: what the check lets pass: Qt and system headers, a generated form, its own folder, lower ranks by
// either form and relative to the file.
#include <QtCore/QFile>
#include <sys/stat.h>
#include <vector>
#include "ui_dialog.h"
#include "hexfile.h"
#include "chip/images.h"
#include <chip/images.h>
#include "../production/rules.h"
