#include "core/parameterimages.h"

#include <QTest>

class TestParameterImages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void factoryImageHasTheDevicesValues();
    void setBitsTouchesOnlyTheMask();
    void getBitsIsUnshifted();
    void sectionCopiesLeaveTheOtherSectionAlone();
    void changeAndChangeBackIsNotAChange();
};

void TestParameterImages::factoryImageHasTheDevicesValues()
{
    const Image image = FactoryImage();
    for (int i = 0; i < 8; ++i)
        QCOMPARE(image[i], 65 + i);
    for (int i = 8; i < 16; ++i)
        QCOMPARE(image[i], 255);
    const int decoderTail[] = {8, 0, 255, 252, 2, 255, 34, 102, 0, 0, 48, 226, 23};
    for (int i = 0; i < 13; ++i)
        QCOMPARE(image[16 + i], decoderTail[i]);
    for (int i = 29; i < 77; ++i)
        QCOMPARE(image[i], 255);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.data()) + 77, 6), "%?;?+?");
    QCOMPARE(image[83], 15);
    QCOMPARE(image[84], 13);

    ParameterImages images;
    QCOMPARE(images.ConfigImage, image);
    QVERIFY(!images.IsChanged());
}

void TestParameterImages::setBitsTouchesOnlyTheMask()
{
    ParameterImages images;
    images.SetBits(22, 3, 2);
    QCOMPARE(images.ConfigImage[22], 34);
    images.SetBits(22, 3, 1);
    QCOMPARE(images.ConfigImage[22], 33);
    images.SetBits(22, 3, 0);
    QCOMPARE(images.ConfigImage[22], 32);
    images.SetBits(16, 0xF0, 0xF0);
    QCOMPARE(images.ConfigImage[16], 0xF8);
}

void TestParameterImages::getBitsIsUnshifted()
{
    ParameterImages images;
    QCOMPARE(images.GetBits(26, 192), 0);
    images.ConfigImage[26] = 176;
    QCOMPARE(images.GetBits(26, 192), 128);
    QCOMPARE(images.GetDefaultBits(26, 192), 0);
}

void TestParameterImages::sectionCopiesLeaveTheOtherSectionAlone()
{
    ParameterImages images;
    images.ConfigImage.fill(7);
    images.CopyDecoderDefaults();
    QCOMPARE(images.ConfigImage[24], images.DefaultImage[24]);
    QCOMPARE(images.ConfigImage[25], 7);
    images.ConfigImage.fill(7);
    images.CopyReaderDefaults();
    QCOMPARE(images.ConfigImage[24], 7);
    QCOMPARE(images.ConfigImage[25], images.DefaultImage[25]);
    QCOMPARE(images.ConfigImage[84], images.DefaultImage[84]);
}

void TestParameterImages::changeAndChangeBackIsNotAChange()
{
    ParameterImages images;
    images.SetBits(84, 1, 0);
    QVERIFY(images.IsChanged());
    images.SetBits(84, 1, 1);
    QVERIFY(!images.IsChanged());
}

QTEST_APPLESS_MAIN(TestParameterImages)
#include "tst_parameterimages.moc"
