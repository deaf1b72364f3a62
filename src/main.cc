#include "gateway/gateway_main.h"
#include "viewer/viewer_page.h"

int main() { return kvo::GatewayMain(kvo::ShowViewerPage); }
