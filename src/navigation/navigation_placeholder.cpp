// Placeholder translation unit until this subsystem lands.
namespace stashly_navigation_detail {
int version() { return 1; }
}
