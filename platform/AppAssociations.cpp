// GIO first: its structures have members named like Qt's keywords.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/AppAssociations.h"

#include <QFileInfo>

namespace {

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The program file a desktop entry runs, looked up on PATH when its command is a bare name.
QString executablePath(GAppInfo* app)
{
    const char* exe = g_app_info_get_executable(app);
    if (!exe || !*exe) {
        return {};
    }
    gchar* found = g_find_program_in_path(exe);
    const QString path = fromUtf8(found);
    g_free(found);
    return path;
}

QString canonical(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

QString DefaultProgramForExtension(const QString& extension)
{
    if (extension.isEmpty() || extension == QLatin1String(".")) {
        return {};
    }
    const QString name = QStringLiteral("file") +
                         (extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension);
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(name.toUtf8().constData(), nullptr, 0, &uncertain);
    if (!type) {
        return {};
    }
    QString path;
    if (!uncertain) {
        if (GAppInfo* app = g_app_info_get_default_for_type(type, FALSE)) {
            path = executablePath(app);
            g_object_unref(app);
        }
    }
    g_free(type);
    return path;
}

QString ProgramDisplayName(const QString& programPath)
{
    const QString wanted = canonical(programPath);
    QString name;
    GList* apps = g_app_info_get_all();
    for (GList* item = apps; item; item = item->next) {
        GAppInfo* app = G_APP_INFO(item->data);
        if (name.isEmpty()) {
            const QString exe = executablePath(app);
            if (!exe.isEmpty() && canonical(exe) == wanted) {
                name = fromUtf8(g_app_info_get_display_name(app));
            }
        }
    }
    g_list_free_full(apps, g_object_unref);
    return name.isEmpty() ? QFileInfo(programPath).fileName() : name;
}
