#include "bridge/bridge_error.hpp"

namespace jotbird {

BridgeError bridgeError(BridgeErrorCode code) {
    BridgeError error{std::string(bridgeErrorDomain), int(code), std::nullopt};
    if (code == BridgeErrorCode::containerUnavailable) error.description = "小组件资料容器不可用";
    return error;
}

BridgeError systemError(std::error_code error) {
    return {error.category().name(), error.value(), std::nullopt};
}

BridgeError jsonError(int code) {
    return {"JSON", code, std::nullopt};
}

}  // namespace jotbird
