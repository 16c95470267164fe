#include "core/parametersearch.h"

std::vector<ParameterMatch> FindParameters(QStringView query)
{
    const QStringView wanted = query.trimmed();
    std::vector<ParameterMatch> found;
    if (wanted.isEmpty())
        return found;
    auto holds = [wanted](const char *text) {
        return Text(text).contains(wanted, Qt::CaseInsensitive);
    };
    for (const FieldSpec &field : FieldCatalogue()) {
        if (holds(field.caption) || holds(field.name))
            found.push_back({&field, -1});
        if (field.kind == FieldKind::Flag)
            continue;
        for (std::size_t i = 0; i < field.options.size(); ++i) {
            if (holds(field.options[i].caption))
                found.push_back({&field, static_cast<int>(i)});
        }
    }
    return found;
}
