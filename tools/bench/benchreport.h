#pragma once

#include <QList>
#include <QString>

// One measured figure and its target. Every target is an upper bound. For timing figures the
// relax factor (noisy machines) multiplies the allowance above `base`: a budget (base 0) is
// multiplied, a ratio "within 1.3 of the reference" (base 1) becomes 1 + 0.3 x relax. Other
// figures (memory) are not relaxed.
struct BenchFigure
{
    QString name;
    double measured = 0;
    double target = 0;
    QString unit;
    bool timing = true;
    QString note; // how it was measured, shown beside the figure
    double base = 0;
};

class BenchReport
{
public:
    explicit BenchReport(double relax = 1.0) : m_relax(relax) {}

    void Add(BenchFigure figure) { m_figures.append(std::move(figure)); }
    const QList<BenchFigure> &Figures() const { return m_figures; }

    // The bound a figure is held to in this run.
    double EffectiveTarget(const BenchFigure &figure) const;
    bool Met(const BenchFigure &figure) const;
    bool AllMet() const;
    // A Markdown table: measure, measured/target, ratio, result, how.
    QString Table() const;

private:
    double m_relax;
    QList<BenchFigure> m_figures;
};

// "12.3", "0.045", "1500": enough digits to read a figure at a glance.
QString FormatFigure(double value);
