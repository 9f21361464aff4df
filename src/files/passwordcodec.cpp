#include "passwordcodec.h"

#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRandomGenerator>

#include <algorithm>

namespace {

uint8_t rotr(uint8_t v, unsigned r)
{
    r &= 7;
    return static_cast<uint8_t>((v >> r) | (v << ((8 - r) & 7)));
}

uint8_t rotl(uint8_t v, unsigned r)
{
    r &= 7;
    return static_cast<uint8_t>((v << r) | (v >> ((8 - r) & 7)));
}

uint8_t nibbleDistance(uint8_t b)
{
    const int lo = b & 0x0F;
    const int hi = b >> 4;
    return static_cast<uint8_t>(lo > hi ? lo - hi : hi - lo);
}

struct Params
{
    unsigned d0;
    unsigned r;
};

Params paramsOf(const PasswordBlock &b)
{
    return {nibbleDistance(b[0]), nibbleDistance(b[1]) % 8u};
}

uint8_t randomByte(const RandomSource &random)
{
    return static_cast<uint8_t>(random() >> 24);
}

} // namespace

uint32_t processRandom()
{
    return QRandomGenerator::global()->generate();
}

uint8_t passwordBlockSum(const PasswordBlock &block)
{
    unsigned sum = 0;
    for (int i = 0; i < PASSWORD_BLOCK_SIZE - 1; ++i)
        sum += block[i];
    return static_cast<uint8_t>(sum);
}

PasswordBlock encodePassword(const QString &text, uint8_t length, const RandomSource &random)
{
    PasswordBlock b{};
    const unsigned n = std::min<unsigned>(length, PASSWORD_MAX_LENGTH);
    for (int i = 0; i < 32; ++i) {
        b[i] = randomByte(random);
        qDebug() << "rand: " << int(b[i]);
    }
    const Params p = paramsOf(b);
    b[32] = static_cast<uint8_t>(~rotr(static_cast<uint8_t>(n), p.r) ^ b[p.d0]);
    for (unsigned i = 0; i < n; ++i) {
        const int i32 = static_cast<int>(i);
        const bool present = i32 < text.size() && text.at(i32).unicode() <= 0xFF;
        const uint8_t e0 = present ? static_cast<uint8_t>(~rotr(static_cast<uint8_t>(text.at(i32).unicode()), p.r))
                                   : uint8_t(0xFF);
        const uint8_t e = e0 ^ b[p.d0 + 1 + i];
        b[33 + i] = (p.d0 % 2) ? e : rotr(e, 1);
    }
    for (unsigned i = 33 + n; i < 63; ++i)
        b[i] = randomByte(random);
    b[63] = passwordBlockSum(b);
    for (int i = 0; i < PASSWORD_BLOCK_SIZE; ++i)
        qDebug().noquote() << QString::asprintf("encode[%d]: %02X", i, b[i]);
    return b;
}

bool decodePassword(const PasswordBlock &b, QString *text, uint8_t *length)
{
    const Params p = paramsOf(b);
    const uint8_t len = rotl(static_cast<uint8_t>(~(b[p.d0] ^ b[32])), p.r);
    if (len > PASSWORD_MAX_LENGTH) {
        qDebug() << "password decode error.";
        return false;
    }
    qDebug() << "password length: " << int(len);
    qDebug() << "Decode password:";
    QString out;
    for (unsigned i = 0; i < len; ++i) {
        uint8_t t = b[33 + i];
        if (p.d0 % 2 == 0)
            t = rotl(t, 1);
        t ^= b[p.d0 + 1 + i];
        out.append(QChar(rotl(static_cast<uint8_t>(~t), p.r)));
    }
    *text = out;
    *length = len;
    return true;
}

PasswordEntry checkPasswordEntry(const QString &text)
{
    const bool ascii = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        return PasswordEntry::NotAscii;
    if (text.size() < PASSWORD_MIN_LENGTH)
        return PasswordEntry::TooShort;
    if (text.size() > PASSWORD_MAX_LENGTH)
        return PasswordEntry::TooLong;
    return PasswordEntry::Accepted;
}

QString passwordEntryMessage(PasswordEntry result)
{
    switch (result) {
    case PasswordEntry::Accepted:
        break;
    case PasswordEntry::NotAscii:
        return QCoreApplication::translate("files", "请输入a-z,A-Z,0-9,!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~范围内字符！");
    case PasswordEntry::TooShort:
        return QCoreApplication::translate("files", "密码最少8个字符！");
    case PasswordEntry::TooLong:
        return QCoreApplication::translate("files", "密码最多16个字符！");
    }
    return QString();
}

QString passwordBoxTitle()
{
    return QCoreApplication::translate("files", "提示");
}

void commitPassword(bool enabled, const QString &fieldText)
{
    g_bEnEncryption = enabled;
    g_ucPswLen = static_cast<uint8_t>(fieldText.size());
    QString psw = QString::fromUtf8(fieldText.toUtf8());
    const int nul = psw.indexOf(QChar(0));
    if (nul >= 0)
        psw.truncate(nul);
    g_strPsw = psw;
}
