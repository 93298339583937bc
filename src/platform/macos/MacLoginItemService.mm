#include "stores/LoginItemService.h"

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

namespace {

QString describe(NSError* error)
{
    return error ? QString::fromNSString(error.localizedDescription) : QStringLiteral("Unknown error.");
}

// The program's own entry in the system's login items.
class API_AVAILABLE(macos(13.0)) MacLoginItemService final : public LoginItemService {
public:
    Status status() const override
    {
        switch (SMAppService.mainAppService.status) {
        case SMAppServiceStatusNotRegistered:
            return Status::notRegistered;
        case SMAppServiceStatusEnabled:
            return Status::enabled;
        case SMAppServiceStatusRequiresApproval:
            return Status::requiresApproval;
        case SMAppServiceStatusNotFound:
            return Status::notFound;
        }
        return Status::notFound;
    }

    std::expected<void, QString> registerService() override
    {
        NSError* error = nil;
        if ([SMAppService.mainAppService registerAndReturnError:&error])
            return {};
        return std::unexpected(describe(error));
    }

    std::expected<void, QString> unregisterService() override
    {
        NSError* error = nil;
        if ([SMAppService.mainAppService unregisterAndReturnError:&error])
            return {};
        return std::unexpected(describe(error));
    }
};

} // namespace

std::shared_ptr<LoginItemService> LoginItemService::create()
{
    if (@available(macOS 13, *))
        return std::make_shared<MacLoginItemService>();
    // macOS 12 has no service for the program itself: launch at login stays off.
    return nullptr;
}
