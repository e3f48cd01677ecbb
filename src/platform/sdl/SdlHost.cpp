// Placeholder: the SDL window host is not built yet.
namespace zol {}
