// GIO first: its structures have members named like Qt's keywords.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/AppAssociations.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

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

// The content type of files with this extension, or empty when the desktop cannot tell.
QString contentTypeOf(const QString& extension)
{
    if (extension.isEmpty() || extension == QLatin1String(".")) {
        return {};
    }
    const QString name = QStringLiteral("file") +
                         (extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension);
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(name.toUtf8().constData(), nullptr, 0, &uncertain);
    const QString result = uncertain ? QString() : fromUtf8(type);
    g_free(type);
    return result;
}

} // namespace

QString TypeDescriptionForExtension(const QString& extension)
{
    const QString type = contentTypeOf(extension);
    if (type.isEmpty()) {
        return {};
    }
    gchar* description = g_content_type_get_description(type.toUtf8().constData());
    const QString text = fromUtf8(description);
    g_free(description);
    return text;
}

QList<ProgramEntry> ProgramsForExtension(const QString& extension)
{
    QList<ProgramEntry> programs;
    const QString type = contentTypeOf(extension);
    if (type.isEmpty()) {
        return programs;
    }
    auto add = [&programs](GAppInfo* app) {
        const QString path = executablePath(app);
        if (path.isEmpty()) {
            return;
        }
        for (const ProgramEntry& p : programs) {
            if (p.path.section(QLatin1Char('/'), -1)
                    .compare(path.section(QLatin1Char('/'), -1), Qt::CaseInsensitive) == 0) {
                return;
            }
        }
        programs.append({fromUtf8(g_app_info_get_display_name(app)), path});
    };
    const QByteArray typeName = type.toUtf8();
    if (GAppInfo* app = g_app_info_get_default_for_type(typeName.constData(), FALSE)) {
        add(app);
        g_object_unref(app);
    }
    GList* all = g_app_info_get_all_for_type(typeName.constData());
    for (GList* item = all; item; item = item->next) {
        add(G_APP_INFO(item->data));
    }
    g_list_free_full(all, g_object_unref);
    return programs;
}

QString DefaultProgramForExtension(const QString& extension)
{
    const QString type = contentTypeOf(extension);
    QString path;
    if (!type.isEmpty()) {
        if (GAppInfo* app = g_app_info_get_default_for_type(type.toUtf8().constData(), FALSE)) {
            path = executablePath(app);
            g_object_unref(app);
        }
    }
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

bool OpenWithDefaultProgram(const QUrl& url)
{
    GAppInfo* app = nullptr;
    if (url.isLocalFile()) {
        // The type of the file itself: its name alone leaves a page's type uncertain.
        GFile* file = g_file_new_for_path(QFile::encodeName(url.toLocalFile()).constData());
        GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                            G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
        if (info) {
            if (const char* type = g_file_info_get_content_type(info)) {
                app = g_app_info_get_default_for_type(type, FALSE);
            }
            g_object_unref(info);
        }
        g_object_unref(file);
    } else if (!url.scheme().isEmpty()) {
        app = g_app_info_get_default_for_uri_scheme(url.scheme().toUtf8().constData());
    }
    if (!app) {
        return false;
    }
    const QByteArray address = url.toEncoded();
    GList uris = {const_cast<char*>(address.constData()), nullptr, nullptr};
    GError* error = nullptr;
    const bool started = g_app_info_launch_uris(app, &uris, nullptr, &error);
    if (error) {
        g_error_free(error);
    }
    g_object_unref(app);
    return started;
}
