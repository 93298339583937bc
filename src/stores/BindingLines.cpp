#include "stores/BindingLines.h"

#include "model/SnapPosition.h"
#include "model/WindowPreset.h"
#include "stores/PresetManager.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Qt's portable names of keys whose X keysym names differ; keys named the
// same way (Left, Home, F1 to F35, Tab, Print, Pause, Menu) pass through.
const QHash<QString, QString>& keysymNames()
{
    static const QHash<QString, QString> names{
        {QStringLiteral("PgUp"), QStringLiteral("Prior")},       {QStringLiteral("PgDown"), QStringLiteral("Next")},
        {QStringLiteral("Esc"), QStringLiteral("Escape")},       {QStringLiteral("Ins"), QStringLiteral("Insert")},
        {QStringLiteral("Del"), QStringLiteral("Delete")},       {QStringLiteral("Backspace"), QStringLiteral("BackSpace")},
        {QStringLiteral("Enter"), QStringLiteral("KP_Enter")},   {QStringLiteral("Space"), QStringLiteral("space")},
        {QStringLiteral(","), QStringLiteral("comma")},          {QStringLiteral("."), QStringLiteral("period")},
        {QStringLiteral("/"), QStringLiteral("slash")},          {QStringLiteral("\\"), QStringLiteral("backslash")},
        {QStringLiteral(";"), QStringLiteral("semicolon")},      {QStringLiteral("'"), QStringLiteral("apostrophe")},
        {QStringLiteral("["), QStringLiteral("bracketleft")},    {QStringLiteral("]"), QStringLiteral("bracketright")},
        {QStringLiteral("-"), QStringLiteral("minus")},          {QStringLiteral("="), QStringLiteral("equal")},
        {QStringLiteral("`"), QStringLiteral("grave")},          {QStringLiteral("+"), QStringLiteral("plus")},
    };
    return names;
}

const QStringList passThrough{QStringLiteral("Left"),   QStringLiteral("Right"), QStringLiteral("Up"),
                              QStringLiteral("Down"),   QStringLiteral("Home"),  QStringLiteral("End"),
                              QStringLiteral("Tab"),    QStringLiteral("Return"), QStringLiteral("Print"),
                              QStringLiteral("Pause"),  QStringLiteral("Menu")};

// What a shell inside the window manager's exec reads as one word.
QString quoted(QString word)
{
    return u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

} // namespace

std::optional<QString> BindingLines::keys(const QString& portableText)
{
    // The key is what follows the last separating "+", which may itself be "+".
    const qsizetype split = portableText.endsWith(QLatin1String("++")) ? portableText.size() - 2
                                                                         : portableText.lastIndexOf(u'+');
    const QString key = split < 0 ? portableText : portableText.mid(split + 1);
    QStringList words;
    for (const QString& modifier : portableText.left(std::max<qsizetype>(split, 0)).split(u'+', Qt::SkipEmptyParts)) {
        if (modifier == QLatin1String("Ctrl"))
            words << QStringLiteral("Ctrl");
        else if (modifier == QLatin1String("Alt"))
            words << QStringLiteral("Mod1");
        else if (modifier == QLatin1String("Shift"))
            words << QStringLiteral("Shift");
        else if (modifier == QLatin1String("Meta"))
            words << QStringLiteral("Mod4");
        else
            return std::nullopt;
    }
    if (const auto named = keysymNames().constFind(key); named != keysymNames().cend())
        words << *named;
    else if (key.size() == 1 && key.at(0).isLetterOrNumber() && key.at(0).unicode() < 0x80)
        words << key.toLower();
    else if (passThrough.contains(key) || (key.size() >= 2 && key.at(0) == u'F' && key.mid(1).toUInt() >= 1 && key.mid(1).toUInt() <= 35))
        words << key;
    else
        return std::nullopt;
    return words.join(u'+');
}

QStringList BindingLines::lines(const QByteArray& storedShortcuts, const PresetManager& presets, const QString& program)
{
    QStringList result;
    const QJsonObject object = QJsonDocument::fromJson(storedShortcuts).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        QString command;
        if (const std::optional<SnapPosition> position = SnapPosition::fromRawValue(it.key())) {
            command = QStringLiteral("snap ") + position->rawValue();
        } else {
            for (const WindowPreset& preset : presets.presets()) {
                if (WindowPreset::uuidString(preset.id) == it.key())
                    command = QStringLiteral("apply -- ") + quoted(preset.name);
            }
        }
        if (command.isEmpty())
            continue;
        const QString text = it.value().toString();
        if (const std::optional<QString> bound = keys(text))
            result << QStringLiteral("bindsym %1 exec %2 %3").arg(*bound, quoted(program), command);
        else
            result << QStringLiteral("# %1 (%2): no key name for it").arg(text, command);
    }
    return result;
}
