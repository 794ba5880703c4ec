#!/usr/bin/perl
# Turns strings_en.txt (number TAB text, with \n \t \\ \xHH escapes) into the two forms the
# builds use: a STRINGTABLE for the Windows resource script and a C++ table for the native
# build. Usage: gen_strings.pl <strings_en.txt> <out.rc> <out.inc>
use strict;
use warnings;

my ($in, $rc, $inc) = @ARGV;
open(my $fh, '<:raw', $in) or die "$in: $!\n";
my (%seen, $rcText, $incText);
$rcText = "STRINGTABLE\nBEGIN\n";
$incText = "";
while (my $line = <$fh>) {
  $line =~ s/\r?\n\z//;
  next if $line eq '' || $line =~ /^#/;
  $line =~ /^([0-9]+)\t(.*)\z/s or die "$in:$.: malformed line\n";
  my ($num, $text) = ($1, $2);
  die "$in:$.: string $num appears twice\n" if $seen{$num}++;
  die "$in:$.: string number out of range\n" if $num < 1 || $num > 65535;
  # C++: the escapes are already C escapes; a double quote gets one, and a \x escape is
  # closed with "" so that a following hex letter is not taken into it.
  (my $c = $text) =~ s/"/\\"/g;
  $c =~ s/(\\x[0-9A-Fa-f]{2})/$1""/g;
  $incText .= "{$num, \"$c\"},\n";
  # Resource script: quotes are doubled; windres understands the same backslash escapes.
  (my $r = $text) =~ s/"/""/g;
  $rcText .= "  $num, \"$r\"\n";
}
$rcText .= "END\n";

sub write_if_changed {
  my ($path, $content) = @_;
  if (open(my $old, '<:raw', $path)) {
    local $/;
    my $was = <$old>;
    return if defined $was && $was eq $content;
  }
  open(my $out, '>:raw', $path) or die "$path: $!\n";
  print $out $content;
}
write_if_changed($rc, $rcText);
write_if_changed($inc, $incText);
