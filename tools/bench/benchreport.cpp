#include "benchreport.h"

#include <QStringList>

#include <cmath>

double BenchReport::EffectiveTarget(const BenchFigure &figure) const
{
    return figure.timing ? figure.base + (figure.target - figure.base) * m_relax : figure.target;
}

bool BenchReport::Met(const BenchFigure &figure) const
{
    // A figure that could not be measured (NaN) misses its target.
    return std::isfinite(figure.measured) && figure.measured <= EffectiveTarget(figure);
}

bool BenchReport::AllMet() const
{
    for (const BenchFigure &figure : m_figures)
        if (!Met(figure))
            return false;
    return true;
}

QString BenchReport::Table() const
{
    QStringList lines;
    lines << QStringLiteral("| Measure | Measured / target | Ratio | Result | How |")
          << QStringLiteral("|---|---|---|---|---|");
    for (const BenchFigure &figure : m_figures) {
        const double target = EffectiveTarget(figure);
        const QString unit = figure.unit.isEmpty() ? QString() : QLatin1Char(' ') + figure.unit;
        const QString ratio = target > 0 && std::isfinite(figure.measured)
                                  ? FormatFigure(figure.measured / target)
                                  : QStringLiteral("-");
        QString bound = FormatFigure(target);
        if (figure.timing && m_relax != 1.0)
            bound += QStringLiteral(" (relaxed from %1)").arg(FormatFigure(figure.target));
        lines << QStringLiteral("| %1 | %2 / %3%4 | %5 | %6 | %7 |")
                     .arg(figure.name, FormatFigure(figure.measured), bound, unit, ratio,
                          Met(figure) ? QStringLiteral("met") : QStringLiteral("MISSED"),
                          figure.note);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString FormatFigure(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("n/a");
    const double size = std::fabs(value);
    const int decimals = size >= 100 ? 0 : size >= 10 ? 1 : size >= 1 ? 2 : 3;
    return QString::number(value, 'f', decimals);
}
