#include "benchreport.h"

#include <QTest>

#include <cmath>

class TestBenchReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void relaxedTargets_data();
    void relaxedTargets();
    void failedMeasurementMisses();
    void tableShowsEveryFigure();
};

void TestBenchReport::relaxedTargets_data()
{
    QTest::addColumn<double>("measured");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("base");
    QTest::addColumn<bool>("timing");
    QTest::addColumn<double>("relax");
    QTest::addColumn<double>("bound");
    QTest::addColumn<bool>("met");

    QTest::newRow("budget met") << 4.9 << 5.0 << 0.0 << true << 1.0 << 5.0 << true;
    QTest::newRow("budget missed") << 5.1 << 5.0 << 0.0 << true << 1.0 << 5.0 << false;
    QTest::newRow("budget relaxed") << 12.0 << 5.0 << 0.0 << true << 3.0 << 15.0 << true;
    QTest::newRow("exactly on target") << 5.0 << 5.0 << 0.0 << true << 1.0 << 5.0 << true;
    // A ratio keeps its floor: only the allowance above 1 grows.
    QTest::newRow("ratio relaxed") << 1.8 << 1.3 << 1.0 << true << 3.0 << 1.9 << true;
    QTest::newRow("ratio past relaxed") << 2.0 << 1.3 << 1.0 << true << 3.0 << 1.9 << false;
    // Memory is no timing: a noisy machine does not excuse it.
    QTest::newRow("memory not relaxed") << 1.4 << 1.3 << 0.0 << false << 5.0 << 1.3 << false;
}

void TestBenchReport::relaxedTargets()
{
    QFETCH(double, measured);
    QFETCH(double, target);
    QFETCH(double, base);
    QFETCH(bool, timing);
    QFETCH(double, relax);
    QFETCH(double, bound);
    QFETCH(bool, met);

    BenchReport report(relax);
    BenchFigure figure{
        QStringLiteral("x"), measured, target, QStringLiteral("ms"), timing, {}, base};
    report.Add(figure);
    QCOMPARE(report.EffectiveTarget(figure), bound);
    QCOMPARE(report.Met(figure), met);
    QCOMPARE(report.AllMet(), met);
}

void TestBenchReport::failedMeasurementMisses()
{
    BenchReport report(100);
    report.Add({QStringLiteral("good"), 1, 5, QStringLiteral("ms"), true, {}, 0});
    QVERIFY(report.AllMet());
    report.Add({QStringLiteral("failed run"), NAN, 5, QStringLiteral("ms"), true, {}, 0});
    QVERIFY(!report.Met(report.Figures().back()));
    QVERIFY(!report.AllMet());
}

void TestBenchReport::tableShowsEveryFigure()
{
    BenchReport report(2);
    report.Add({QStringLiteral("serial upload: overhead"), 1.5, 5, QStringLiteral("ms"), true,
                QStringLiteral("median of 10"), 0});
    report.Add({QStringLiteral("peak memory"), 1.5, 1.3, {}, false, {}, 0});
    const QStringList lines = report.Table().trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[2], QStringLiteral("| serial upload: overhead | 1.50 / 10.0 (relaxed from "
                                      "5.00) ms | 0.150 | met | median of 10 |"));
    QCOMPARE(lines[3], QStringLiteral("| peak memory | 1.50 / 1.30 | 1.15 | MISSED |  |"));
}

QTEST_APPLESS_MAIN(TestBenchReport)
#include "tst_benchreport.moc"
