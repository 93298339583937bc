#include "stores/FeedUpdaterController.h"
#include "views/UpdateDialog.h"

std::unique_ptr<UpdaterController> UpdaterController::create()
{
    return std::make_unique<FeedUpdaterController>(FeedUpdaterController::defaultConfiguration(),
                                                   std::make_unique<UpdateDialog>());
}
