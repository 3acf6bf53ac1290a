#!/usr/bin/env python3
"""Builds the per-user Windows Installer package from a folder laid out as the zip's top folder.

    make_msi.py STAGE OUT.msi [--wxs FILE] [--version A.B.C]

The product's name, version and maker are read from focura.exe's own version resource, so the
"Installed apps" entry says what Explorer's Properties say. Installs without administrator rights
into %LOCALAPPDATA%\\Programs\\Focura Acquisition, with Start-menu shortcuts for each program the
folder holds. Removal runs "zsim.exe /UnregServer /Here" first, which takes away a simulator
registration only where it names a server in the installed folder.
"""
import argparse
import re
import subprocess
import sys
import uuid
from pathlib import Path
from xml.sax.saxutils import quoteattr

# Never change: Windows Installer recognises an older version of the same product by it.
UPGRADE_CODE = "{5C1A3F0E-7B42-4C58-9E1D-2F6A0B8C4D17}"
# Component GUIDs are derived from the file's place, so an upgrade keeps each component's identity.
NAMESPACE = uuid.UUID("8f3c2a61-4d0e-4b7a-a5c9-1e2f3d4b5a60")

# The shortcuts, in the Start menu's folder: (file, shortcut name, description). A program the
# folder does not hold gets none.
SHORTCUTS = [
    ("focura.exe", "Focura Acquisition (64-bit)", "The tool; start this one first"),
    ("focura32.exe", "Focura Acquisition (32-bit)",
     "The tool for a PC whose Z server is a 32-bit component"),
    ("focura-check.exe", "Check this PC (64-bit)", "The check of this PC before the first stack"),
    ("focura-check32.exe", "Check this PC (32-bit)",
     "The check of this PC with the 32-bit programs"),
    ("guide.html", "Operator's guide", "How to use Focura Acquisition"),
]
REGISTRY_KEY = r"Software\Focura Acquisition"


def version_strings(exe: Path) -> dict:
    """The StringFileInfo values of a PE file's version resource (UTF-16 pairs)."""
    data = exe.read_bytes()
    found = {}
    for name in ("CompanyName", "ProductName", "ProductVersion"):
        key = (name + "\0").encode("utf-16-le")
        at = data.find(key)
        if at < 0:
            continue
        # The value follows the key, aligned to 32 bits from the start of the block; the block
        # starts 6 bytes before the key, itself 32-bit aligned, so the file offset alignment holds.
        value_at = at + len(key)
        value_at += (-value_at) % 4
        end = value_at
        while data[end:end + 2] != b"\0\0":
            end += 2
        found[name] = data[value_at:end].decode("utf-16-le")
    missing = {"CompanyName", "ProductName", "ProductVersion"} - found.keys()
    if missing:
        sys.exit(f"{exe} has no {', '.join(sorted(missing))} in its version resource")
    return found


def ident(relative: str) -> str:
    return "f_" + re.sub(r"[^A-Za-z0-9_]", "_", relative)[:60] + "_" + \
        uuid.uuid5(NAMESPACE, relative.lower()).hex[:8]


def guid(relative: str) -> str:
    return "{" + str(uuid.uuid5(NAMESPACE, relative.lower())).upper() + "}"


def keypath(name: str) -> str:
    # Per-user components keep a value under the user's key as their key path.
    return (f'<RegistryValue Root="HKCU" Key={quoteattr(REGISTRY_KEY)} Name={quoteattr(name)} '
            'Type="integer" Value="1" KeyPath="yes"/>')


def folder_xml(stage: Path, folder: Path, depth: int, refs: list) -> str:
    out = []
    pad = "  " * depth
    for path in sorted(folder.iterdir()):
        relative = path.relative_to(stage).as_posix()
        if path.is_dir():
            out.append(f'{pad}<Directory Id="{ident(relative)}" Name={quoteattr(path.name)}>')
            out.append(folder_xml(stage, path, depth + 1, refs))
            # An emptied folder of the user's profile goes with the files.
            out.append(f'{pad}  <Component Id="c{ident(relative)}" Guid="{guid(relative + "/")}">')
            out.append(f'{pad}    <RemoveFolder Id="r{ident(relative)}" On="uninstall"/>')
            out.append(f'{pad}    {keypath("dir:" + relative)}')
            out.append(f'{pad}  </Component>')
            out.append(f'{pad}</Directory>')
            refs.append(f"c{ident(relative)}")
        else:
            out.append(f'{pad}<Component Id="c{ident(relative)}" Guid="{guid(relative)}">')
            out.append(f'{pad}  <File Id="{ident(relative)}" Name={quoteattr(path.name)} '
                       f'Source={quoteattr(relative)}/>')
            out.append(f'{pad}  {keypath(relative)}')
            out.append(f'{pad}</Component>')
            refs.append(f"c{ident(relative)}")
    return "\n".join(out)


def wxs(stage: Path, version: str = "") -> str:
    info = version_strings(stage / "focura.exe")
    # Another version than the programs' own only to make an upgrade of the same files.
    version = version or info["ProductVersion"]
    if not re.fullmatch(r"\d+\.\d+\.\d+(\.\d+)?", version):
        sys.exit(f"the version resource's ProductVersion {version!r} is not a.b.c")
    refs = []
    files = folder_xml(stage, stage, 5, refs)
    shortcuts = []
    for name, title, description in SHORTCUTS:
        if (stage / name).is_file():
            shortcuts.append(
                f'        <Shortcut Id="s{ident(name)}" Name={quoteattr(title)} '
                f'Description={quoteattr(description)} Target="[#{ident(name)}]" '
                f'WorkingDirectory="INSTALLDIR"/>')
    if not shortcuts or not (stage / "zsim.exe").is_file():
        sys.exit(f"{stage} holds no focura.exe or zsim.exe")
    refs.append("cStartMenu")
    component_refs = "\n".join(f'      <ComponentRef Id="{r}"/>' for r in refs)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name={quoteattr(info["ProductName"])} Language="1033" Codepage="1252"
           Version="{version}" Manufacturer={quoteattr(info["CompanyName"])}
           UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"
             Description={quoteattr(info["ProductName"] + " " + version)}
             Manufacturer={quoteattr(info["CompanyName"])}/>
    <Media Id="1" Cabinet="focura.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of {info["ProductName"]} is already installed."/>
    <Icon Id="focura.ico" SourceFile="focura.exe"/>
    <Property Id="ARPPRODUCTICON" Value="focura.ico"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPNOREPAIR" Value="1"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="LocalAppDataFolder">
        <Directory Id="UserPrograms" Name="Programs">
          <Directory Id="INSTALLDIR" Name={quoteattr(info["ProductName"])}>
{files}
            <Component Id="cInstallDir" Guid="{guid("installdir/")}">
              <RemoveFolder Id="rInstallDir" On="uninstall"/>
              <RegistryValue Root="HKCU" Key={quoteattr(REGISTRY_KEY)} Name="InstallDir"
                             Type="string" Value="[INSTALLDIR]" KeyPath="yes"/>
            </Component>
          </Directory>
          <Component Id="cUserPrograms" Guid="{guid("userprograms/")}">
            <RemoveFolder Id="rUserPrograms" On="uninstall"/>
            {keypath("UserPrograms")}
          </Component>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder">
        <Directory Id="MenuFolder" Name={quoteattr(info["ProductName"])}>
          <Component Id="cStartMenu" Guid="{guid("startmenu/")}">
{chr(10).join(shortcuts)}
            <RemoveFolder Id="rMenuFolder" On="uninstall"/>
            {keypath("StartMenu")}
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <!-- Before the files go, the simulator's registration goes where it names them; not on an
         upgrade, which puts the same files back in the same place. -->
    <CustomAction Id="UnregisterSimulator" FileKey="{ident("zsim.exe")}"
                  ExeCommand="/UnregServer /Here" Execute="deferred" Return="ignore"
                  Impersonate="yes"/>
    <InstallExecuteSequence>
      <Custom Action="UnregisterSimulator" Before="RemoveFiles">REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE</Custom>
    </InstallExecuteSequence>
    <Feature Id="Complete" Level="1">
      <ComponentRef Id="cInstallDir"/>
      <ComponentRef Id="cUserPrograms"/>
{component_refs}
    </Feature>
  </Product>
</Wix>
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("stage", type=Path)
    parser.add_argument("out", type=Path)
    parser.add_argument("--wxs", type=Path)
    parser.add_argument("--version", default="")
    args = parser.parse_args()
    stage = args.stage.resolve()
    source = (args.wxs or args.out.with_suffix(".wxs")).resolve()
    source.write_text(wxs(stage, args.version), encoding="utf-8")
    # wixl reads the files' sources relative to its working folder.
    subprocess.run(["wixl", "-a", "x64", "-o", str(args.out.resolve()), str(source)], check=True,
                   cwd=stage)


if __name__ == "__main__":
    main()
