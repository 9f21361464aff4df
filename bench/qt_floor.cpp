// A program that only builds its QCoreApplication and prints a line: the start-up cost every program on Qt
// Core pays (loading and relocating Qt and its libraries), measured beside tarnquill-cli for comparison.

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::puts("ready");
    return 0;
}
