#pragma once

#include <QString>

// Result codes of the operations, carried by the worker's done signals, the CLI's JSON and its messages.
// The numbers are fixed: stored logs and scripts read them. Some numbers mean different steps in different
// operations; those have one name per meaning.
namespace ResultCode {
enum : int {
    NotAn8051Chip = -1,
    Success = 0,
    NvrInfoFailed = 1,          // WriteToNvrInfomation (chip operations)
    ChecksumFailed = 1,         // getChipCheckSum (blank check)
    WriterCfgReadFailed = 1,    // ReadFromWriterCfg (upload)
    NoChipAnswers = 3,          // InitProgrammer
    WrongChip = 4,              // the chip's id is not the selected chip's
    WriterCfgWriteFailed = 4,   // WriteToWriterCfg (download)
    FlashEraseFailed = 5,
    FlashWriteFailed = 6,       // write or checksum
    FlashReadFailed = 7,
    BinSizeSendFailed = 8,
    BinSizeGetFailed = 9,
    BootLoaderEraseFailed = 10,
    BootLoaderWriteFailed = 11,
    BootLoaderReadFailed = 12,
    BootLoaderSizeSendFailed = 13,
    BootLoaderSizeGetFailed = 14,
    EepromEraseFailed = 15,
    EepromWriteFailed = 16,
    EepromReadFailed = 17,
    Nvr1EraseFailed = 18,
    Nvr2EraseFailed = 19,
    Nvr3EraseFailed = 20,
    Nvr1WriteFailed = 21,
    Nvr2WriteFailed = 22,
    Nvr3WriteFailed = 23,
    Nvr1ReadFailed = 24,
    Nvr2ReadFailed = 25,
    Nvr3ReadFailed = 26,
    ExitProgrammerFailed = 27,
    RollingWriteFailed = 28,
    RollingReadFailed = 29,
    LimitWriteFailed = 30,
    LimitReadFailed = 31,
    AutoBurnerWriteFailed = 32,
    AutoBurnerReadFailed = 33,
    FirmwareTransferFailed = 34,
    LinkStoreEraseFailed = 35,  // EraseExFalshDate
    LinkOpenFailed = 36,
    LinkLocked = 37,            // another program holds the device lock
    PasswordWriteFailed = 38,
};
}

// No Link to talk to: it could not be opened, or another program holds it.
bool isNoLink(int code);
// The codes that end a burn run (the window's toggle clears): done, or the wrong chip in the socket.
bool endsBurn(int code);
// The codes that end an automatic burn run: the wrong chip, or no Link.
bool endsAutoBurn(int code);

// Both give the Chinese source text, the same in every language (the command line's JSON carries it); people
// get it through engineText().

// Box text for an operation's result code; empty for 0 (success) and 4 (chip identified, logged instead).
QString resultCodeText(int code);

// The text for a result: the success label for 0, the chip found for 4 (g_wChipId), else the code's message. A
// source text, the same in every language.
QString resultText(int code, const QString &label);

// Log line for a code of the Link's own stand-alone error log.
QString linkErrorLogText(int code);
