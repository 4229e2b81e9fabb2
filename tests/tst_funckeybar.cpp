// The function-key bar: where its cells sit, how they look, the captions and the busy clip.
#include "base/frameservices.h"
#include "shell/morvekapp.h"
#include "forms/busyanimation.h"
#include "forms/colorstatic.h"
#include "forms/funckeybar.h"
#include "forms/funckeycaptions.h"
#include "forms/funckeylayout.h"
#include "views/busyindicator.h"

#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {
// The main window's busy clip as the views drive it.
class CClipFrame final : public CFrameServices
{
public:
    CClipFrame() { Register(this); }
    ~CClipFrame() override { Register(nullptr); }
    void SetStatusText(const QString &) override {}
    void SetFuncKeyCaption(int, const QString &) override {}
    void ResetFuncKeyCaptions() override {}
    void SetBusyAnimation(bool on) override { m_switches << on; }
    void StepBusyAnimation() override { ++m_nSteps; }
    QList<bool> m_switches;
    int m_nSteps = 0;
};
} // namespace

class TestFuncKeyBar : public QObject
{
    Q_OBJECT

private slots:
    void cellPlacement_data();
    void cellPlacement();
    void barPlacesItsCells();
    void middleGroupIsColoured();
    void captionSets_data();
    void captionSets();
    void setCaptionChangesOneCell();
    void clipPlaysAndRestsOnFirstFrame();
    void stepPaintsTheNextFrameOnlyWhilePlaying();
    void walksMoveTheClip();
};

void TestFuncKeyBar::cellPlacement_data()
{
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("800, F1") << 800 << 0 << QRect(40, 4, 63, 25);
    QTest::newRow("800, F5") << 800 << 4 << QRect(292, 4, 63, 25);
    QTest::newRow("800, F12 ends at 796") << 800 << 11 << QRect(733, 4, 63, 25);
    QTest::newRow("width rounds down first") << 1023 << 11 << QRect(40 + 11 * 82, 4, 82, 25);
}

void TestFuncKeyBar::cellPlacement()
{
    QFETCH(int, cx);
    QFETCH(int, index);
    QFETCH(QRect, rect);
    QCOMPARE(CFuncKeyLayout::CellRect(index, cx, 31), rect);
}

void TestFuncKeyBar::barPlacesItsCells()
{
    CFuncKeyBar bar;
    bar.resize(800, CFuncKeyBar::kBarHeight);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCOMPARE(bar.GetCell(0)->geometry(), QRect(40, 4, 63, 25));
    QCOMPARE(bar.GetCell(11)->geometry().right() + 1, 796);
    bar.resize(640, CFuncKeyBar::kBarHeight);
    QCOMPARE(bar.GetCell(11)->geometry(), CFuncKeyLayout::CellRect(11, 640, CFuncKeyBar::kBarHeight));
}

void TestFuncKeyBar::middleGroupIsColoured()
{
    CFuncKeyBar bar;
    bar.resize(800, CFuncKeyBar::kBarHeight);
    for (int i = 0; i < 12; ++i) {
        const QColor expected = i >= 4 && i <= 7 ? QColor(185, 156, 156) : QColor(Qt::white);
        QCOMPARE(bar.GetCell(i)->GetBackColor(), expected);
        QCOMPARE(bar.GetCell(i)->GetTextColor(), QColor(Qt::black));
        // What is painted inside the border, away from the centred text.
        const QImage picture = bar.GetCell(i)->grab().toImage();
        QCOMPARE(picture.pixelColor(3, picture.height() / 2), expected);
    }
}

void TestFuncKeyBar::captionSets_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<QString>("changed");
    QTest::newRow("plain") << 0 << "";
    QTest::newRow("company window") << 1 << "F4=基準日 F7=異動 F8=検索";
    QTest::newRow("employee master") << 2 << "F2=前頁 F3=次頁 F4=変更履歴 F5=ﾓｰﾄﾞ F7=削除 F8=検索 F9=名前 F10=住所";
    QTest::newRow("employee search") << 3 << "F2=前頁 F3=次頁";
    QTest::newRow("company window as of a past day") << 4 << "F4=基準日 F5=今日 F8=検索";
}

void TestFuncKeyBar::captionSets()
{
    QFETCH(int, set);
    QFETCH(QString, changed);
    const CFuncKeyCaptions::Set sets[] = {CFuncKeyCaptions::Plain(), CFuncKeyCaptions::Company(),
                                          CFuncKeyCaptions::EmployeeMaster(), CFuncKeyCaptions::EmployeeSearch(),
                                          CFuncKeyCaptions::Company(true)};
    const CFuncKeyCaptions::Set &captions = sets[set];
    QCOMPARE(captions[0], QStringLiteral("HELP"));
    QStringList differences;
    for (int i = 1; i < 12; ++i)
        if (captions[size_t(i)] != QStringLiteral("F%1").arg(i + 1))
            differences.append(QStringLiteral("F%1=%2").arg(i + 1).arg(captions[size_t(i)]));
    QCOMPARE(differences.join(QLatin1Char(' ')), changed);
}

void TestFuncKeyBar::setCaptionChangesOneCell()
{
    CFuncKeyBar bar;
    for (int i = 0; i < 12; ++i)
        QCOMPARE(bar.GetCaption(i), CFuncKeyCaptions::Plain()[size_t(i)]);
    bar.SetCaption(7, QStringLiteral("検索"));
    bar.SetCaption(7, QStringLiteral("検索"));
    QCOMPARE(bar.GetCaption(7), QStringLiteral("検索"));
    QCOMPARE(bar.GetCaption(6), QStringLiteral("F7"));
}

void TestFuncKeyBar::clipPlaysAndRestsOnFirstFrame()
{
    CFuncKeyBar bar;
    QVERIFY(bar.OpenClip());
    CBusyAnimation *clip = bar.GetAnimation();
    QCOMPARE(clip->GetFrameCount(), 6);
    QCOMPARE(clip->GetFrameSize(), QSize(31, 23));
    QVERIFY(clip->geometry().right() < CFuncKeyLayout::kAnimationSpace);
    QVERIFY(!clip->IsPlaying());

    bar.StartAnimation();
    QSet<int> seen;
    QElapsedTimer clock;
    clock.start();
    // Every frame, then round again to the first.
    while ((seen.size() < 6 || clip->GetFrame() != 1) && clock.elapsed() < 3000) {
        QTest::qWait(5);
        seen.insert(clip->GetFrame());
    }
    QCOMPARE(seen.size(), 6);
    QCOMPARE(clip->GetFrame(), 1);
    bar.StopAnimation();
    QVERIFY(!clip->IsPlaying());
    QCOMPARE(clip->GetFrame(), 0);
    const QImage first = clip->grab().toImage();
    QTest::qWait(3 * CBusyAnimation::kFrameInterval);
    QCOMPARE(clip->grab().toImage(), first);
}

void TestFuncKeyBar::stepPaintsTheNextFrameOnlyWhilePlaying()
{
    CFuncKeyBar bar;
    QVERIFY(bar.OpenClip());
    CBusyAnimation *clip = bar.GetAnimation();
    const QImage first = clip->grab().toImage();
    clip->Step();
    QCOMPARE(clip->GetFrame(), 0);
    bar.StartAnimation();
    for (int i = 1; i <= clip->GetFrameCount(); ++i) {
        clip->Step();
        QCOMPARE(clip->GetFrame(), i % clip->GetFrameCount());
    }
    clip->Step();
    QVERIFY(clip->grab().toImage() != first);
    bar.StopAnimation();
}

void TestFuncKeyBar::walksMoveTheClip()
{
    CClipFrame frame;
    {
        CBusyIndicator walk(0);
        walk.Pulse();
        {
            CBusyIndicator inner(0);
            inner.Pulse();
        }
        // An inner walk ending leaves the clip playing for the outer one.
        QCOMPARE(frame.m_switches, QList<bool>{true});
        QCOMPARE(frame.m_nSteps, 0);
        QTest::qSleep(2 * CBusyAnimation::kFrameInterval);
        walk.Pulse();
        QCOMPARE(frame.m_nSteps, 1);
    }
    QCOMPARE(frame.m_switches, (QList<bool>{true, false}));
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestFuncKeyBar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_funckeybar.moc"
