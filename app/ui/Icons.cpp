#include "Icons.h"

// Resources of a static library are registered by hand; at global scope, as
// Q_INIT_RESOURCE requires.
static void registerIconResources() { Q_INIT_RESOURCE(icons); }

namespace pylar {

namespace {

QString shippedIcon(const QString &name) {
  static const bool registered = (registerIconResources(), true);
  (void)registered;
  return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

}  // namespace

QIcon CommandIcon(const QString &name) { return QIcon::fromTheme(name, QIcon(shippedIcon(name))); }

QIcon ApplicationIcon() { return QIcon(shippedIcon(QStringLiteral("pylarwin"))); }

}  // namespace pylar
