#include "Platform.h"

#include <utility>

namespace penlynx {

namespace {

class SingleList final : public InterfaceList {
public:
    SingleList(bool present, std::string path) : present_(present), path_(std::move(path)) {}
    InterfaceStep Get(size_t index) override {
        return present_ && index == 0 ? InterfaceStep::Present : InterfaceStep::End;
    }
    bool Path(size_t, std::string &path) override {
        path = path_;
        return true;
    }

private:
    bool present_;
    std::string path_;
};

class EmptyPlatform final : public Platform {
public:
    std::unique_ptr<InterfaceList> Interfaces() override {
        return MakeSingleInterfaceList(false, "");
    }
    std::unique_ptr<HidDevice> Open(const std::string &) override { return nullptr; }
};

} // namespace

std::unique_ptr<InterfaceList> MakeSingleInterfaceList(bool present, std::string path) {
    return std::make_unique<SingleList>(present, std::move(path));
}

std::unique_ptr<Platform> MakeEmptyPlatform() {
    return std::make_unique<EmptyPlatform>();
}

} // namespace penlynx
