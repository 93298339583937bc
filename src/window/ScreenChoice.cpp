#include "window/ScreenChoice.h"

QString screenChoiceName(ScreenChoice choice)
{
    return choice == ScreenChoice::window ? QStringLiteral("window") : QStringLiteral("main");
}

std::optional<ScreenChoice> screenChoiceFromName(const QString& name)
{
    if (name == QLatin1String("main"))
        return ScreenChoice::main;
    if (name == QLatin1String("window"))
        return ScreenChoice::window;
    return std::nullopt;
}
