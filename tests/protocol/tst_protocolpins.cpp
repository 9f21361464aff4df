// Every number the Link and the front ends agree on, pinned to the value the protocol gives it. The
// emulator and the other tests take these numbers from the same constants as the code under test, so a
// mistyped constant would pass all of them; the literals here are typed from the protocol's tables, never
// copied from our headers.

#include "engine/resultcodes.h"
#include "link/hidconnection.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"

#include <QtTest>

class TestProtocolPins : public QObject
{
    Q_OBJECT

private slots:
    void pinned_data()
    {
        QTest::addColumn<int>("ours");
        QTest::addColumn<int>("protocol");

        // Link identity and frame bytes.
        QTest::newRow("vendor id") << int(LINK_VENDOR_ID) << 0x1122;
        QTest::newRow("product id") << int(LINK_PRODUCT_ID) << 0x3344;
        QTest::newRow("start byte") << int(LinkCode::Start) << 0x02;
        QTest::newRow("marker") << int(LinkCode::Marker) << 0xFD;
        // Status bytes of an answer.
        QTest::newRow("ACK") << int(LinkCode::Ack) << 0x06;
        QTest::newRow("no-response fill") << int(HidConnection::kNoResponse) << 0x15;
        QTest::newRow("no-response result") << HidConnection::kNoResponseResult << -5;

        // Chip programming commands.
        QTest::newRow("InitProgrammer") << int(LinkCode::InitProgrammer) << 0x18;
        QTest::newRow("ExitProgrammer") << int(LinkCode::ExitProgrammer) << 0x19;
        QTest::newRow("CheckID") << int(LinkCode::CheckID) << 0x1B;
        QTest::newRow("EraseFlash") << int(LinkCode::EraseFlash) << 0x1C;
        QTest::newRow("checkSum") << int(LinkCode::checkSum) << 0x1F;
        QTest::newRow("SendBinSize") << int(LinkCode::SendBinSize) << 0x3F;
        QTest::newRow("GetBinSize") << int(LinkCode::GetBinSize) << 0x3E;
        QTest::newRow("EraseNVRBootLoader") << int(LinkCode::EraseNVRBootLoader) << 0x54;
        QTest::newRow("SendNVRBootLoaderSize") << int(LinkCode::SendNVRBootLoaderSize) << 0x50;
        QTest::newRow("GetNVRBootLoaderSize") << int(LinkCode::GetNVRBootLoaderSize) << 0x51;
        QTest::newRow("EraseNVR") << int(LinkCode::EraseNVR) << 0x21;
        QTest::newRow("EraseEep") << int(LinkCode::EraseEep) << 0x20;
        QTest::newRow("getChipCheckSum") << int(LinkCode::getChipCheckSum) << 0x5A;
        QTest::newRow("WriteToNvrInfomation") << int(LinkCode::WriteToNvrInfomation) << 0x2D;
        QTest::newRow("GetFwVersion") << int(LinkCode::GetFwVersion) << 0x82;
        // Block transfers: chip code, Link code.
        QTest::newRow("WriteToFlash chip") << int(LinkCode::WriteFlashChip) << 0x1E;
        QTest::newRow("WriteToFlash Link") << int(LinkCode::WriteFlashLink) << 0x40;
        QTest::newRow("WriteToNVRBootLoader chip") << int(LinkCode::WriteBootLoaderChip) << 0x55;
        QTest::newRow("WriteToNVRBootLoader Link") << int(LinkCode::WriteBootLoaderLink) << 0x52;
        QTest::newRow("WriteToNVR chip") << int(LinkCode::WriteNvrChip) << 0x24;
        QTest::newRow("WriteToNVR Link") << int(LinkCode::WriteNvrLink) << 0x44;
        QTest::newRow("WriteToEeprom Link") << int(LinkCode::WriteEepromLink) << 0x42;
        QTest::newRow("ReadFromChipFlash chip") << int(LinkCode::ReadFlashChip) << 0x22;
        QTest::newRow("ReadFromChipFlash Link") << int(LinkCode::ReadFlashLink) << 0x41;
        QTest::newRow("ReadFromNVRBootLoader chip") << int(LinkCode::ReadBootLoaderChip) << 0x56;
        QTest::newRow("ReadFromNVRBootLoader Link") << int(LinkCode::ReadBootLoaderLink) << 0x53;
        QTest::newRow("ReadFromNVR chip") << int(LinkCode::ReadNvrChip) << 0x28;
        QTest::newRow("ReadFromNVR Link") << int(LinkCode::ReadNvrLink) << 0x45;
        QTest::newRow("ReadFromEeprom chip") << int(LinkCode::ReadEepromChip) << 0x27;
        QTest::newRow("ReadFromEeprom Link") << int(LinkCode::ReadEepromLink) << 0x43;
        // Offline settings.
        QTest::newRow("WriteToRolling") << int(LinkCode::WriteToRolling) << 0x48;
        QTest::newRow("ReadFromRolling") << int(LinkCode::ReadFromRolling) << 0x49;
        QTest::newRow("WriteToPassword") << int(LinkCode::WriteToPassword) << 0xF1;
        QTest::newRow("WriteToLimit") << int(LinkCode::WriteToLimit) << 0x4A;
        QTest::newRow("ReadFromLimit") << int(LinkCode::ReadFromLimit) << 0x4B;
        QTest::newRow("WriteToAotoBurner") << int(LinkCode::WriteToAotoBurner) << 0x4C;
        QTest::newRow("ReadFromAotoBurner") << int(LinkCode::ReadFromAotoBurner) << 0x4D;
        QTest::newRow("WriteToWriterCfg") << int(LinkCode::WriteToWriterCfg) << 0x4E;
        QTest::newRow("ReadFromWriterCfg") << int(LinkCode::ReadFromWriterCfg) << 0x4F;
        // Maintenance and the IAP loader.
        QTest::newRow("resetLink / enter IAP") << int(LinkCode::resetLink) << 0x36;
        QTest::newRow("EraseExFalshDate") << int(LinkCode::EraseExFalshDate) << 0x5B;
        QTest::newRow("IAP write chunk") << int(LinkCode::IapWriteChunk) << 0x30;
        QTest::newRow("IAP run") << int(LinkCode::IapRun) << 0x31;
        QTest::newRow("IAP checksum") << int(LinkCode::IapCheckSum) << 0x32;
        QTest::newRow("IAP erase") << int(LinkCode::IapErase) << 0x33;
        QTest::newRow("IAP write version") << int(LinkCode::IapWriteVersion) << 0x34;
        QTest::newRow("IAP read version") << int(LinkCode::IapReadVersion) << 0x35;

        // Result codes of the operations.
        QTest::newRow("not an 8051 chip") << int(ResultCode::NotAn8051Chip) << -1;
        QTest::newRow("success") << int(ResultCode::Success) << 0;
        QTest::newRow("NVR info") << int(ResultCode::NvrInfoFailed) << 1;
        QTest::newRow("chip checksum") << int(ResultCode::ChecksumFailed) << 1;
        QTest::newRow("writer cfg read") << int(ResultCode::WriterCfgReadFailed) << 1;
        QTest::newRow("no chip answers") << int(ResultCode::NoChipAnswers) << 3;
        QTest::newRow("wrong chip") << int(ResultCode::WrongChip) << 4;
        QTest::newRow("writer cfg write") << int(ResultCode::WriterCfgWriteFailed) << 4;
        QTest::newRow("flash erase") << int(ResultCode::FlashEraseFailed) << 5;
        QTest::newRow("flash write") << int(ResultCode::FlashWriteFailed) << 6;
        QTest::newRow("flash read") << int(ResultCode::FlashReadFailed) << 7;
        QTest::newRow("SendBinSize") << int(ResultCode::BinSizeSendFailed) << 8;
        QTest::newRow("GetBinSize") << int(ResultCode::BinSizeGetFailed) << 9;
        QTest::newRow("BootLoader erase") << int(ResultCode::BootLoaderEraseFailed) << 10;
        QTest::newRow("BootLoader write") << int(ResultCode::BootLoaderWriteFailed) << 11;
        QTest::newRow("BootLoader read") << int(ResultCode::BootLoaderReadFailed) << 12;
        QTest::newRow("SendNVRBootLoaderSize") << int(ResultCode::BootLoaderSizeSendFailed) << 13;
        QTest::newRow("GetNVRBootLoaderSize") << int(ResultCode::BootLoaderSizeGetFailed) << 14;
        QTest::newRow("EEPROM erase") << int(ResultCode::EepromEraseFailed) << 15;
        QTest::newRow("EEPROM write") << int(ResultCode::EepromWriteFailed) << 16;
        QTest::newRow("EEPROM read") << int(ResultCode::EepromReadFailed) << 17;
        QTest::newRow("NVR1 erase") << int(ResultCode::Nvr1EraseFailed) << 18;
        QTest::newRow("NVR2 erase") << int(ResultCode::Nvr2EraseFailed) << 19;
        QTest::newRow("NVR3 erase") << int(ResultCode::Nvr3EraseFailed) << 20;
        QTest::newRow("NVR1 write") << int(ResultCode::Nvr1WriteFailed) << 21;
        QTest::newRow("NVR2 write") << int(ResultCode::Nvr2WriteFailed) << 22;
        QTest::newRow("NVR3 write") << int(ResultCode::Nvr3WriteFailed) << 23;
        QTest::newRow("NVR1 read") << int(ResultCode::Nvr1ReadFailed) << 24;
        QTest::newRow("NVR2 read") << int(ResultCode::Nvr2ReadFailed) << 25;
        QTest::newRow("NVR3 read") << int(ResultCode::Nvr3ReadFailed) << 26;
        QTest::newRow("ExitProgrammer") << int(ResultCode::ExitProgrammerFailed) << 27;
        QTest::newRow("WriteToRolling failed") << int(ResultCode::RollingWriteFailed) << 28;
        QTest::newRow("ReadFromRolling failed") << int(ResultCode::RollingReadFailed) << 29;
        QTest::newRow("WriteToLimit failed") << int(ResultCode::LimitWriteFailed) << 30;
        QTest::newRow("ReadFromLimit failed") << int(ResultCode::LimitReadFailed) << 31;
        QTest::newRow("WriteToAotoBurner failed") << int(ResultCode::AutoBurnerWriteFailed) << 32;
        QTest::newRow("ReadFromAotoBurner failed") << int(ResultCode::AutoBurnerReadFailed) << 33;
        QTest::newRow("firmware transfer") << int(ResultCode::FirmwareTransferFailed) << 34;
        QTest::newRow("EraseExFalshDate failed") << int(ResultCode::LinkStoreEraseFailed) << 35;
        QTest::newRow("opening the Link") << int(ResultCode::LinkOpenFailed) << 36;
        QTest::newRow("device lock held") << int(ResultCode::LinkLocked) << 37;
        QTest::newRow("WriteToPassword failed") << int(ResultCode::PasswordWriteFailed) << 38;
    }
    void pinned()
    {
        QFETCH(int, ours);
        QFETCH(int, protocol);
        QCOMPARE(ours, protocol);
    }

    // The sets of codes the window and the CLI both act on.
    void codeSets_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("noLink");
        QTest::addColumn<bool>("endsBurn");
        QTest::addColumn<bool>("endsAutoBurn");
        QTest::newRow("0") << 0 << false << true << false;
        QTest::newRow("3") << 3 << false << false << false;
        QTest::newRow("4") << 4 << false << true << true;
        QTest::newRow("6") << 6 << false << false << false;
        QTest::newRow("27") << 27 << false << false << false;
        QTest::newRow("36") << 36 << true << false << true;
        QTest::newRow("37") << 37 << true << false << true;
        QTest::newRow("-1") << -1 << false << false << false;
    }
    void codeSets()
    {
        QFETCH(int, code);
        QFETCH(bool, noLink);
        QFETCH(bool, endsBurn);
        QFETCH(bool, endsAutoBurn);
        QCOMPARE(isNoLink(code), noLink);
        QCOMPARE(::endsBurn(code), endsBurn);
        QCOMPARE(::endsAutoBurn(code), endsAutoBurn);
    }
};

QTEST_APPLESS_MAIN(TestProtocolPins)
#include "tst_protocolpins.moc"
