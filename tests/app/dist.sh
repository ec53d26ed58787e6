# The release archive as a Windows user meets it: unpacked into a folder whose
# path has spaces and letters outside ASCII, it holds the program, the guide
# and a README in Windows line ends; Windows reads the program's version
# resource as app/version.h states it; and the program starts from there.
source "$LIB"
ROOT=$(cd "$(dirname "$LIB")/../.." && pwd)

"$ROOT/scripts/dist" "$BUILD" --out "$WORK/dist" > "$WORK/dist.out" || fail "scripts/dist failed"
macro() { sed -n "s/^#define $1 \"\{0,1\}\([^\"]*\)\"\{0,1\}$/\1/p" "$ROOT/app/version.h"; }
version=$(macro VS_VERSION_TEXT)
archive="$WORK/dist/vellory-server-$version-win32.zip"
expect_eq "the archive written" "$(cat "$WORK/dist.out")" "$archive"

folder="$WORK/Programme für Vellory"
python3 -m zipfile -e "$archive" "$folder" || fail "the archive does not unpack"
here="$folder/vellory-server-$version"
expect_eq "what the archive holds" "$(cd "$here" && ls)" "README.txt
user-guide.html
vellory-server.exe"
cmp -s "$here/vellory-server.exe" "$BUILD/vellory-server.exe" || fail "the program in the archive is not the build's"
lines=$(grep -c '' "$here/README.txt")
expect_eq "README.txt lines ending in CR LF" "$(grep -c $'\r$' "$here/README.txt")" "$lines"
grep -q "^Vellory Server $version"$'\r$' "$here/README.txt" || fail "README.txt does not name the version"

# Windows' own reader, from the folder, so the path's letters travel as the
# program's own would
expect_eq "the version resource" "$(cd "$here" && driver version vellory-server.exe | tr -d '\r')" \
  "fixed $(macro VS_VERSION_MAJOR).$(macro VS_VERSION_MINOR).0.0 $(macro VS_VERSION_MAJOR).$(macro VS_VERSION_MINOR).0.0
ProductName=$(macro VS_PRODUCT_NAME)
ProductVersion=$version
FileVersion=$version
FileDescription=Vellory Server: the desktop companion of a handheld computer
LegalCopyright=$(macro VS_COPYRIGHT)
OriginalFilename=vellory-server.exe"

# The program finds its image in its own file, wherever that is
prefs_file "Port = 1" "ShowInputView = 1" "InputView = unpacked"
APP_DIR=$here
start_app
wait_writing "unpacked"
quit_app
expect_eq "the version the preference file records" "$(pref_value Version)" "$version"
