#include "util/PromptService.h"

namespace {

PromptService g_cancelling;
PromptService* g_service = nullptr;

} // namespace

PromptService::~PromptService()
{
    if (g_service == this) {
        g_service = nullptr;
    }
}

int PromptService::BrowseForFolder(const QString&, const QString&, const QString&, const QString&, int,
                                   QString*)
{
    return -1;
}

void PromptService::install(PromptService* service)
{
    g_service = service;
}

PromptService& PromptService::instance()
{
    return g_service ? *g_service : g_cancelling;
}
