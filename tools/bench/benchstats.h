#pragma once

#include <QList>

#include <algorithm>
#include <cmath>

// Small statistics over repeated runs; a run that failed is NaN and poisons the result, so a
// failure is never hidden by the others.
inline double Median(QList<double> values)
{
    if (values.isEmpty())
        return NAN;
    for (double value : values)
        if (!std::isfinite(value))
            return NAN;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double Maximum(const QList<double> &values)
{
    double result = values.isEmpty() ? NAN : values.front();
    for (double value : values)
        result = std::isfinite(value) && std::isfinite(result) ? std::max(result, value) : NAN;
    return result;
}

inline double Mean(const QList<double> &values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return values.isEmpty() ? NAN : sum / double(values.size());
}
