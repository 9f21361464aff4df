#pragma once

class QMenu;
class QWidget;

// The 语言/Language menu: 中文 and English, each named in itself, the running language ticked. A choice is kept
// in language.pth beside openpath.pth and applies from the next start; a box says so when it differs from the
// running language.
QMenu *createLanguageMenu(QWidget *window);
