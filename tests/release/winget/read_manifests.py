#!/usr/bin/env python3
"""Reads the package-manager manifests the release target wrote, checks
them against the rules of the public manifest schema 1.10.0 (field names,
required fields, value patterns and lengths) and against the release
program beside them, and prints what a deployment needs as NAME=value
lines for the shell: the values to compare with the registration, and the
command lines a package manager runs, with the tokens replaced: the
passive one with INSTALL_PATH as given, the silent one with a backslash
typed after it.

    read_manifests.py DIST_DIR [INSTALLER_PATH INSTALL_PATH LOG_PATH]

Without the three paths it only checks.
"""
import hashlib
import re
import sys
from pathlib import Path

import yaml

IDENTIFIER = re.compile(r'^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$')
VERSION = re.compile(r'^[^\\/:\*\?"<>\|\x01-\x1f]+$')
LOCALE = re.compile(r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$')
URL = re.compile(r'^([Hh][Tt][Tt][Pp][Ss]?)://.+$')
SHA256 = re.compile(r'^[A-Fa-f0-9]{64}$')
NUMBER = r'(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])'
MANIFEST_VERSION = re.compile(rf'^{NUMBER}(\.{NUMBER}){{2}}$')
OS_VERSION = re.compile(rf'^{NUMBER}(\.{NUMBER}){{0,3}}$')

# The schema's property names for what these manifests may hold: a
# misspelt field is an error, not an ignored line.
ALLOWED = {
    "version": {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"},
    "defaultLocale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PublisherUrl",
                      "PublisherSupportUrl", "PrivacyUrl", "Author", "PackageName", "PackageUrl", "License",
                      "LicenseUrl", "Copyright", "CopyrightUrl", "ShortDescription", "Description", "Moniker",
                      "Tags", "ReleaseNotes", "ReleaseNotesUrl", "ManifestType", "ManifestVersion"},
    "installer": {"PackageIdentifier", "PackageVersion", "MinimumOSVersion", "InstallerType", "Scope",
                  "InstallModes", "InstallerSwitches", "UpgradeBehavior", "ProductCode", "AppsAndFeaturesEntries",
                  "InstallationMetadata", "Installers", "ManifestType", "ManifestVersion"},
}
REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
}
SWITCHES = {"Silent", "SilentWithProgress", "Interactive", "InstallLocation", "Log", "Upgrade", "Custom", "Repair"}
ENTRY_FIELDS = {"DisplayName", "Publisher", "DisplayVersion", "ProductCode", "UpgradeCode", "InstallerType"}
INSTALLER_FIELDS = {"Architecture", "InstallerUrl", "InstallerSha256", "InstallerLocale", "Scope", "InstallerType"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def text(value, low, high):
    return isinstance(value, str) and low <= len(value) <= high


def check_common(kind, manifest, name):
    check(set(manifest) <= ALLOWED[kind], f"{name}: fields not in the schema: {sorted(set(manifest) - ALLOWED[kind])}")
    for field in REQUIRED[kind]:
        check(field in manifest, f"{name}: required field {field} missing")
    check(manifest.get("ManifestType") == kind, f"{name}: ManifestType is not {kind}")
    version = str(manifest.get("ManifestVersion", ""))
    if check(MANIFEST_VERSION.match(version), f"{name}: ManifestVersion {version!r} is not three numbers"):
        check(tuple(map(int, version.split("."))) >= (1, 10, 0), f"{name}: ManifestVersion {version} is older than 1.10.0")
    check(isinstance(manifest.get("PackageIdentifier"), str) and IDENTIFIER.match(manifest["PackageIdentifier"]),
          f"{name}: PackageIdentifier does not match the schema")
    check(isinstance(manifest.get("PackageVersion"), str) and VERSION.match(manifest["PackageVersion"]),
          f"{name}: PackageVersion is not a text the schema takes")


def main():
    dist = Path(sys.argv[1])
    manifest_dir = dist / "winget"
    identifier = "KoraVale.KoraVale"
    files = {"version": f"{identifier}.yaml", "installer": f"{identifier}.installer.yaml",
             "defaultLocale": f"{identifier}.locale.zh-CN.yaml"}
    names = sorted(p.name for p in manifest_dir.iterdir())
    if names != sorted(files.values()):
        sys.exit(f"manifest files {names}, expected {sorted(files.values())}")
    loaded = {}
    for kind, name in files.items():
        loaded[kind] = yaml.safe_load((manifest_dir / name).read_text(encoding="utf-8"))
        check(isinstance(loaded[kind], dict), f"{name}: not a mapping")
        check_common(kind, loaded[kind], name)
    version, installer, locale = loaded["version"], loaded["installer"], loaded["defaultLocale"]

    for manifest in (installer, locale):
        check(manifest["PackageIdentifier"] == identifier, "PackageIdentifier differs between the files")
        check(manifest["PackageVersion"] == version["PackageVersion"], "PackageVersion differs between the files")
    check(version["PackageIdentifier"] == identifier, f"PackageIdentifier is not {identifier}")
    check(version["DefaultLocale"] == "zh-CN" and locale["PackageLocale"] == "zh-CN", "the default locale is not zh-CN")
    release = dist / f"KoraValeSetup-{version['PackageVersion']}.exe"
    if not release.is_file():
        sys.exit(f"no release program {release.name} of the manifests' version in {dist}")

    check(text(locale["Publisher"], 2, 256) and text(locale["PackageName"], 2, 256), "Publisher or PackageName length")
    check(text(locale["License"], 3, 512) and text(locale["ShortDescription"], 3, 256), "License or ShortDescription length")
    for field in ("PublisherUrl", "PackageUrl"):
        if field in locale:
            check(URL.match(locale[field]), f"{field} is not an http(s) address")

    check(installer.get("InstallerType") == "exe", "InstallerType is not exe")
    check(installer.get("Scope") == "user", "Scope is not user")
    check(OS_VERSION.match(str(installer.get("MinimumOSVersion"))) and installer["MinimumOSVersion"] == "10.0.0.0",
          "MinimumOSVersion is not 10.0.0.0")
    check(installer.get("InstallModes") == ["interactive", "silent", "silentWithProgress"], "InstallModes")
    check(installer.get("UpgradeBehavior") == "install", "UpgradeBehavior is not install")
    switches = installer.get("InstallerSwitches", {})
    check(set(switches) <= SWITCHES, f"switches not in the schema: {sorted(set(switches) - SWITCHES)}")
    for name in ("Silent", "SilentWithProgress", "InstallLocation", "Log"):
        check(text(switches.get(name), 1, 512), f"InstallerSwitches.{name} missing or too long")
    check("<INSTALLPATH>" in switches.get("InstallLocation", ""), "InstallLocation lacks <INSTALLPATH>")
    check("<LOGPATH>" in switches.get("Log", ""), "Log lacks <LOGPATH>")
    entries = installer.get("AppsAndFeaturesEntries", [])
    check(len(entries) == 1 and set(entries[0]) <= ENTRY_FIELDS, "AppsAndFeaturesEntries: one entry of schema fields")
    entry = entries[0] if entries else {}
    for field, high in (("DisplayName", 256), ("Publisher", 256), ("DisplayVersion", 128), ("ProductCode", 255)):
        check(text(entry.get(field), 1, high), f"AppsAndFeaturesEntries.{field} missing or too long")
    # Upgrades and uninstalls by manifest look for an installed copy by the installer-level field.
    check(text(installer.get("ProductCode"), 1, 255) and installer["ProductCode"] == entry.get("ProductCode"),
          "ProductCode at the installer level missing or not the entry's")
    metadata = installer.get("InstallationMetadata", {})
    check(set(metadata) <= {"DefaultInstallLocation", "Files"} and text(metadata.get("DefaultInstallLocation"), 1, 2048),
          "InstallationMetadata.DefaultInstallLocation")
    installers = installer.get("Installers", [])
    check(len(installers) == 1 and set(installers[0]) <= INSTALLER_FIELDS, "Installers: one entry of schema fields")
    item = installers[0] if installers else {}
    check(item.get("Architecture") == "x64", "Architecture is not x64")
    check(text(item.get("InstallerUrl"), 1, 2048) and URL.match(item["InstallerUrl"]), "InstallerUrl is not an http(s) address")
    digest = hashlib.sha256(release.read_bytes()).hexdigest()
    check(isinstance(item.get("InstallerSha256"), str) and SHA256.match(item["InstallerSha256"]), "InstallerSha256 pattern")
    check(str(item.get("InstallerSha256", "")).lower() == digest,
          f"InstallerSha256 {item.get('InstallerSha256')} is not the release program's {digest}")

    if failures:
        for failure in failures:
            print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
    if len(sys.argv) < 5:
        return
    installer_path, install_path, log_path = sys.argv[2:5]
    # In a package manager's order: the installer's quoted path, the mode's
    # switch, the log switch, then the location last, tokens replaced as typed.
    def command(mode, location):
        return (f'"{installer_path}" {switches[mode]} {switches["Log"].replace("<LOGPATH>", log_path)} '
                f'{switches["InstallLocation"].replace("<INSTALLPATH>", location)}')
    values = {
        "RELEASE_NAME": release.name,
        "PASSIVE_COMMAND": command("SilentWithProgress", install_path),
        "SILENT_COMMAND": command("Silent", install_path + "\\"),
        "INSTALLER_URL": item["InstallerUrl"],
        "DISPLAY_NAME": entry["DisplayName"],
        "PUBLISHER": entry["Publisher"],
        "DISPLAY_VERSION": entry["DisplayVersion"],
        "PRODUCT_CODE": entry["ProductCode"],
        "DEFAULT_INSTALL_LOCATION": metadata["DefaultInstallLocation"],
    }
    for name, value in values.items():
        print(f"{name}={value}")


if __name__ == "__main__":
    main()
