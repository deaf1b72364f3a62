#include "gateway/gateway_main.h"

int main() { return kvo::GatewayMain(); }
