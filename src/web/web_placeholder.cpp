// Placeholder translation unit until this subsystem lands.
namespace stashly_web_detail {
int version() { return 1; }
}
