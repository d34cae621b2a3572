<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="tr_TR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>The icons are Phosphor Icons, under this licence:</source>
        <translation>Simgeler Phosphor Icons'tır ve şu lisansla kullanılır:</translation>
    </message>
    <message>
        <source>Applywright</source>
        <translation>Applywright</translation>
    </message>
    <message>
        <source>Keeps track of every job application, its status and its follow-ups.</source>
        <translation>Her iş başvurusunu, durumunu ve takiplerini izler.</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Veri klasörü</translation>
    </message>
    <message>
        <source>Licence</source>
        <translation>Lisans</translation>
    </message>
    <message>
        <source>About Applywright</source>
        <translation>Applywright Hakkında</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Sürüm %1</translation>
    </message>
</context>
<context>
    <name>AlreadyAppliedLine</name>
    <message>
        <source>Already in your list — applied %1, %2</source>
        <comment>Review sheet: %1 is the stored application's date, %2 its status</comment>
        <translation>Listenizde zaten var — %1 tarihinde başvuruldu, %2</translation>
    </message>
    <message>
        <source>Show it in the list</source>
        <translation>Listede göster</translation>
    </message>
</context>
<context>
    <name>ApplicationCommands</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Dosya</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Çık</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>Dü&amp;zen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Geri Al</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Yinele</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Kes</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>K&amp;opyala</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Ya&amp;pıştır</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tümünü Seç</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Görünüm</translation>
    </message>
    <message>
        <source>&amp;New Application</source>
        <translation>&amp;Yeni Başvuru</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Kaydet</translation>
    </message>
    <message>
        <source>&amp;Add from Screenshot…</source>
        <translation>&amp;Ekran Görüntüsünden Ekle…</translation>
    </message>
    <message>
        <source>&amp;Paste Job Posting</source>
        <translation>İş İlanını Ya&amp;pıştır</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>İçe &amp;Aktar…</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>&amp;Dışa Aktar…</translation>
    </message>
    <message>
        <source>Export as Sp&amp;readsheet…</source>
        <translation>&amp;Tablo Olarak Dışa Aktar…</translation>
    </message>
    <message>
        <source>&amp;Delete Application…</source>
        <translation>Başvuruyu &amp;Sil…</translation>
    </message>
    <message>
        <source>&amp;Insights</source>
        <translation>Ö&amp;ngörüler</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Yardım</translation>
    </message>
    <message>
        <source>&amp;About Applywright</source>
        <translation>Applywright &amp;Hakkında</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <comment>%1 names the step, e.g. Typing</comment>
        <translation>&amp;Geri Al: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <comment>%1 names the step, e.g. Typing</comment>
        <translation>&amp;Yinele: %1</translation>
    </message>
    <message>
        <source>Import &amp;Mail…</source>
        <translation>E-po&amp;stayı İçe Aktar…</translation>
    </message>
    <message>
        <source>Add or Remove &amp;Star</source>
        <translation>Yıldız &amp;Ekle veya Kaldır</translation>
    </message>
</context>
<context>
    <name>ApplicationDetailView</name>
    <message>
        <source>Application details</source>
        <translation>Başvuru ayrıntıları</translation>
    </message>
</context>
<context>
    <name>ApplicationEdits</name>
    <message>
        <source>Typing</source>
        <translation>Yazma</translation>
    </message>
    <message>
        <source>Date Change</source>
        <translation>Tarih Değişikliği</translation>
    </message>
    <message>
        <source>Status Change Removal</source>
        <translation>Durum Değişikliğinin Kaldırılması</translation>
    </message>
    <message>
        <source>Work Model Change</source>
        <translation>Çalışma Modeli Değişikliği</translation>
    </message>
    <message>
        <source>Status Change</source>
        <translation>Durum Değişikliği</translation>
    </message>
    <message>
        <source>Follow-up Change</source>
        <translation>Takip Değişikliği</translation>
    </message>
    <message>
        <source>Rejection Channel Change</source>
        <translation>Ret Kanalı Değişikliği</translation>
    </message>
    <message>
        <source>Rejection Reason Change</source>
        <translation>Ret Nedeni Değişikliği</translation>
    </message>
    <message>
        <source>Currency Change</source>
        <translation>Para Birimi Değişikliği</translation>
    </message>
    <message>
        <source>Star Change</source>
        <translation>Yıldız Değişikliği</translation>
    </message>
</context>
<context>
    <name>ApplicationFields</name>
    <message>
        <source>ID</source>
        <translation>Kimlik</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Şirket</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Pozisyon</translation>
    </message>
    <message>
        <source>Posting Link</source>
        <translation>İlan Bağlantısı</translation>
    </message>
    <message>
        <source>Work Model</source>
        <translation>Çalışma Modeli</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>Application Date</source>
        <translation>Başvuru Tarihi</translation>
    </message>
    <message>
        <source>Status Date</source>
        <translation>Durum Tarihi</translation>
    </message>
    <message>
        <source>Closing Date</source>
        <translation>Kapanış Tarihi</translation>
    </message>
    <message>
        <source>Follow-up Date</source>
        <translation>Takip Tarihi</translation>
    </message>
    <message>
        <source>Rejected by Email</source>
        <translation>E-postayla Reddedildi</translation>
    </message>
    <message>
        <source>Rejected by Phone</source>
        <translation>Telefonla Reddedildi</translation>
    </message>
    <message>
        <source>Rejection Reason</source>
        <translation>Ret Nedeni</translation>
    </message>
    <message>
        <source>Rejection Note</source>
        <translation>Ret Notu</translation>
    </message>
    <message>
        <source>HR Contact</source>
        <translation>İK Kişisi</translation>
    </message>
    <message>
        <source>HR Email</source>
        <translation>İK E-postası</translation>
    </message>
    <message>
        <source>Tech Interviewer</source>
        <translation>Teknik Mülakatçı</translation>
    </message>
    <message>
        <source>Tech Interviewer Role</source>
        <translation>Teknik Mülakatçı Rolü</translation>
    </message>
    <message>
        <source>Expected Salary</source>
        <translation>Beklenen Maaş</translation>
    </message>
    <message>
        <source>Offered Salary</source>
        <translation>Teklif Edilen Maaş</translation>
    </message>
    <message>
        <source>Currency</source>
        <translation>Para Birimi</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notlar</translation>
    </message>
    <message>
        <source>Starred</source>
        <translation>Yıldızlı</translation>
    </message>
    <message>
        <source>Created On</source>
        <translation>Oluşturulma Tarihi</translation>
    </message>
    <message>
        <source>Last Changed</source>
        <translation>Son Değişiklik</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Geçmiş</translation>
    </message>
</context>
<context>
    <name>ApplicationListView</name>
    <message>
        <source>Applications</source>
        <translation>Başvurular</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
    <message>
        <source>Filter and sort</source>
        <translation>Filtrele ve sırala</translation>
    </message>
    <message>
        <source>New Application</source>
        <translation>Yeni Başvuru</translation>
    </message>
    <message>
        <source>Add a new application (%1)</source>
        <translation>Yeni başvuru ekle (%1)</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sıralama</translation>
    </message>
    <message>
        <source>Remove Star</source>
        <translation>Yıldızı Kaldır</translation>
    </message>
    <message>
        <source>Add Star</source>
        <translation>Yıldız Ekle</translation>
    </message>
    <message>
        <source>Open Posting</source>
        <translation>İlanı Aç</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Sil</translation>
    </message>
    <message numerus="yes">
        <source>%n applications found</source>
        <translation>
            <numerusform>%n başvuru bulundu</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ApplicationRow</name>
    <message>
        <source>Follow-up</source>
        <translation>Takip</translation>
    </message>
</context>
<context>
    <name>ApplicationSection</name>
    <message>
        <source>Application</source>
        <translation>Başvuru</translation>
    </message>
    <message>
        <source>e.g. Acme Technology</source>
        <translation>ör. Acme Teknoloji</translation>
    </message>
    <message>
        <source>e.g. iOS Developer</source>
        <translation>ör. iOS Geliştirici</translation>
    </message>
    <message>
        <source>https://…</source>
        <translation>https://…</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Şirket</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Pozisyon</translation>
    </message>
    <message>
        <source>Posting Link</source>
        <translation>İlan Bağlantısı</translation>
    </message>
    <message>
        <source>Work Model</source>
        <translation>Çalışma Modeli</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>Follow-up Reminder</source>
        <translation>Takip Hatırlatıcısı</translation>
    </message>
    <message>
        <source>Application Date</source>
        <translation>Başvuru Tarihi</translation>
    </message>
    <message>
        <source>Follow-up Date</source>
        <translation>Takip Tarihi</translation>
    </message>
    <message>
        <source>Open posting in browser</source>
        <translation>İlanı tarayıcıda aç</translation>
    </message>
    <message>
        <source>Enter a valid http(s) address</source>
        <translation>Geçerli bir http(s) adresi girin</translation>
    </message>
</context>
<context>
    <name>ApplicationStatus</name>
    <message>
        <source>Applied</source>
        <comment>Application status</comment>
        <translation>Başvuruldu</translation>
    </message>
    <message>
        <source>HR Interview</source>
        <comment>Application status</comment>
        <translation>İK Görüşmesi</translation>
    </message>
    <message>
        <source>Tech Interview</source>
        <comment>Application status</comment>
        <translation>Teknik Mülakat</translation>
    </message>
    <message>
        <source>Offer</source>
        <comment>Application status</comment>
        <translation>Teklif</translation>
    </message>
    <message>
        <source>Rejected</source>
        <comment>Application status</comment>
        <translation>Reddedildi</translation>
    </message>
</context>
<context>
    <name>ApplywrightApp</name>
    <message>
        <source>Applywright</source>
        <translation>Applywright</translation>
    </message>
    <message>
        <source>Your changes could not be saved.</source>
        <translation>Değişiklikleriniz kaydedilemedi.</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Yeniden Dene</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Kaydetmeden Çık</translation>
    </message>
    <message>
        <source>Follow-up &amp;Notifications</source>
        <translation>Takip &amp;Bildirimleri</translation>
    </message>
    <message>
        <source>&amp;Board</source>
        <translation>&amp;Pano</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <translation>&amp;Liste</translation>
    </message>
</context>
<context>
    <name>BackupDecodingError</name>
    <message>
        <source>The file couldn't be read because it isn't in the correct format.</source>
        <translation>Dosya doğru biçimde olmadığı için okunamadı.</translation>
    </message>
</context>
<context>
    <name>BackupEncodingError</name>
    <message>
        <source>The data couldn't be written because it isn't in the correct format.</source>
        <translation>Veriler doğru biçimde olmadığı için yazılamadı.</translation>
    </message>
</context>
<context>
    <name>BackupError</name>
    <message>
        <source>This backup was made by a newer version of Applywright.</source>
        <translation>Bu yedek, Applywright'ın daha yeni bir sürümüyle alınmış.</translation>
    </message>
    <message>
        <source>This file is not an Applywright backup.</source>
        <translation>Bu dosya bir Applywright yedeği değil.</translation>
    </message>
</context>
<context>
    <name>BackupFileError</name>
    <message>
        <source>The file “%1” couldn't be opened.</source>
        <translation>“%1” dosyası açılamadı.</translation>
    </message>
    <message>
        <source>The file “%1” couldn't be opened because it isn't a regular file.</source>
        <translation>“%1” normal bir dosya olmadığı için açılamadı.</translation>
    </message>
    <message>
        <source>The file “%1” couldn't be opened because it is larger than 512 MB, too large for a backup.</source>
        <translation>“%1” dosyası 512 MB'tan büyük olduğu için açılamadı; bir yedek için fazla büyük.</translation>
    </message>
    <message>
        <source>The file “%1” couldn't be read.</source>
        <translation>“%1” dosyası okunamadı.</translation>
    </message>
    <message>
        <source>The file “%1” couldn't be saved.</source>
        <translation>“%1” dosyası kaydedilemedi.</translation>
    </message>
</context>
<context>
    <name>BackupFlow</name>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON dosyaları (*.json)</translation>
    </message>
    <message>
        <source>Export Backup</source>
        <translation>Yedeği Dışa Aktar</translation>
    </message>
    <message>
        <source>Import Backup</source>
        <translation>Yedeği İçe Aktar</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Yedek</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
</context>
<context>
    <name>BackupTransfer</name>
    <message>
        <source>Imported %1 applications, skipped %2 already present.</source>
        <translation>%1 başvuru içe aktarıldı, zaten var olan %2 başvuru atlandı.</translation>
    </message>
</context>
<context>
    <name>BoardColumnHeader</name>
    <message>
        <source>%1, folded</source>
        <comment>A board column shown as a narrow strip; %1 is its name</comment>
        <translation>%1, daraltılmış</translation>
    </message>
</context>
<context>
    <name>BoardView</name>
    <message>
        <source>Board</source>
        <translation>Pano</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
    <message>
        <source>Columns and sort</source>
        <translation>Sütunlar ve sıralama</translation>
    </message>
    <message>
        <source>Show Closed Columns</source>
        <translation>Kapanan Sütunları Göster</translation>
    </message>
    <message numerus="yes">
        <source>%1, %n applications</source>
        <comment>A board column; %1 is the status</comment>
        <translation>
            <numerusform>%1, %n başvuru</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 moved to %2</source>
        <comment>Read out after a card moved; %1 is the company, %2 the status</comment>
        <translation>%1, %2 sütununa taşındı</translation>
    </message>
</context>
<context>
    <name>ConfidenceBadge</name>
    <message>
        <source>Needs review</source>
        <translation>Gözden geçirin</translation>
    </message>
    <message>
        <source>Check this</source>
        <translation>Kontrol edin</translation>
    </message>
    <message>
        <source>Confident</source>
        <translation>Emin</translation>
    </message>
</context>
<context>
    <name>ConfirmationDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Vazgeç</translation>
    </message>
</context>
<context>
    <name>ContactsSection</name>
    <message>
        <source>Contacts</source>
        <translation>Kişiler</translation>
    </message>
    <message>
        <source>Full name</source>
        <translation>Ad soyad</translation>
    </message>
    <message>
        <source>jane.doe@acme.com</source>
        <comment>An example e-mail address</comment>
        <translation>ayse.yilmaz@acme.com.tr</translation>
    </message>
    <message>
        <source>e.g. Engineering Manager</source>
        <translation>ör. Mühendislik Müdürü</translation>
    </message>
    <message>
        <source>HR Contact</source>
        <translation>İK Kişisi</translation>
    </message>
    <message>
        <source>HR Email</source>
        <translation>İK E-postası</translation>
    </message>
    <message>
        <source>Tech Interviewer</source>
        <translation>Teknik Mülakatçı</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Rol</translation>
    </message>
    <message>
        <source>Open in Mail</source>
        <translation>E-posta ile aç</translation>
    </message>
</context>
<context>
    <name>ContentView</name>
    <message>
        <source>Search company, position or notes</source>
        <translation>Şirket, pozisyon veya notlarda ara</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Ara</translation>
    </message>
    <message>
        <source>%1 — %2. This cannot be undone.</source>
        <comment>Delete confirmation; %1 is the company name, %2 the position</comment>
        <translation>%1 — %2. Bu işlem geri alınamaz.</translation>
    </message>
    <message>
        <source>Delete this application?</source>
        <translation>Bu başvuru silinsin mi?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Sil</translation>
    </message>
    <message>
        <source>Clear Search</source>
        <translation>Aramayı Temizle</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Show</source>
        <comment>Desktop notification button</comment>
        <translation>Göster</translation>
    </message>
</context>
<context>
    <name>DetailHeader</name>
    <message>
        <source>Delete this application (%1)</source>
        <comment>%1 is the key that deletes</comment>
        <translation>Bu başvuruyu sil (%1)</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Sil</translation>
    </message>
    <message>
        <source>Remove star</source>
        <translation>Yıldızı kaldır</translation>
    </message>
    <message>
        <source>Add star</source>
        <translation>Yıldız ekle</translation>
    </message>
    <message numerus="yes">
        <source>Closed in %n days</source>
        <comment>%n is the number of days from applying to the end</comment>
        <translation>
            <numerusform>%n günde kapandı</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DetailPlaceholder</name>
    <message>
        <source>No Application Selected</source>
        <translation>Seçili Başvuru Yok</translation>
    </message>
    <message>
        <source>Select an application from the list to see its details.</source>
        <translation>Ayrıntılarını görmek için listeden bir başvuru seçin.</translation>
    </message>
    <message>
        <source>Add your first application to start tracking.</source>
        <translation>Takibe başlamak için ilk başvurunuzu ekleyin.</translation>
    </message>
    <message>
        <source>New Application</source>
        <translation>Yeni Başvuru</translation>
    </message>
</context>
<context>
    <name>DraftPictureView</name>
    <message>
        <source>Close the picture (Esc)</source>
        <translation>Görüntüyü kapat (Esc)</translation>
    </message>
    <message>
        <source>Close Picture</source>
        <translation>Görüntüyü Kapat</translation>
    </message>
</context>
<context>
    <name>DraftRow</name>
    <message>
        <source>Include this application</source>
        <translation>Bu başvuruyu ekle</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Şirket</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Pozisyon</translation>
    </message>
    <message>
        <source>Posting Link</source>
        <translation>İlan Bağlantısı</translation>
    </message>
    <message>
        <source>Work Model</source>
        <translation>Çalışma Modeli</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Konum</translation>
    </message>
    <message>
        <source>This does not look like a job posting.</source>
        <translation>Bu bir iş ilanına benzemiyor.</translation>
    </message>
    <message>
        <source>Detected application: %1</source>
        <translation>Algılanan başvuru: %1</translation>
    </message>
</context>
<context>
    <name>DraftThumbnail</name>
    <message>
        <source>Show the screenshot beside the fields (Space)</source>
        <translation>Ekran görüntüsünü alanların yanında göster (Boşluk)</translation>
    </message>
    <message>
        <source>Show the pasted text beside the fields (Space)</source>
        <translation>Yapıştırılan metni alanların yanında göster (Boşluk)</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>Ekran görüntüsü</translation>
    </message>
    <message>
        <source>Pasted text</source>
        <translation>Yapıştırılan metin</translation>
    </message>
</context>
<context>
    <name>EmptyListOverlay</name>
    <message>
        <source>No results</source>
        <translation>Sonuç yok</translation>
    </message>
    <message>
        <source>No application matches your search or filter.</source>
        <translation>Aramanıza veya filtrenize uyan başvuru yok.</translation>
    </message>
    <message>
        <source>No applications yet</source>
        <translation>Henüz başvuru yok</translation>
    </message>
    <message>
        <source>Add your first application to start tracking.</source>
        <translation>Takibe başlamak için ilk başvurunuzu ekleyin.</translation>
    </message>
    <message>
        <source>New Application</source>
        <translation>Yeni Başvuru</translation>
    </message>
</context>
<context>
    <name>EvidenceHint</name>
    <message>
        <source>Detected from: </source>
        <translation>Şuradan algılandı: </translation>
    </message>
    <message>
        <source>Not detected — fill this in yourself</source>
        <translation>Algılanamadı — bunu kendiniz doldurun</translation>
    </message>
</context>
<context>
    <name>FollowUpReminder</name>
    <message>
        <source>1 follow-up due today</source>
        <comment>Desktop notification</comment>
        <translation>Bugün 1 takip zamanı geldi</translation>
    </message>
    <message>
        <source>%1 follow-ups due today</source>
        <comment>Desktop notification; %1 is a number above one</comment>
        <translation>Bugün %1 takibin zamanı geldi</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <comment>Desktop notification; %1 lists companies, %2 is a number</comment>
        <translation>%1 ve %2 başvuru daha</translation>
    </message>
</context>
<context>
    <name>HistoryDateDialog</name>
    <message>
        <source>Change Date</source>
        <translation>Tarihi Değiştir</translation>
    </message>
    <message>
        <source>The date can move as far as the changes before and after it, and not past now.</source>
        <translation>Tarih, önceki ve sonraki değişikliklere kadar kaydırılabilir; şu andan sonraya taşınamaz.</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Değiştir</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Tarih</translation>
    </message>
</context>
<context>
    <name>InsightsView</name>
    <message>
        <source>How far applications got</source>
        <translation>Başvurular ne kadar ilerledi</translation>
    </message>
    <message>
        <source>Counted from each application's history: a stage passed on the way still counts.</source>
        <translation>Her başvurunun geçmişinden sayılır: yolda geçilen bir aşama da sayılır.</translation>
    </message>
    <message>
        <source>%1 of the stage before</source>
        <comment>Funnel; %1 is a percentage</comment>
        <translation>önceki aşamadan %1</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Yanıtlar</translation>
    </message>
    <message>
        <source>An answer is any change from “Applied”, a rejection included; days run from the application date.</source>
        <translation>Yanıt, “Başvuruldu” durumundan her değişikliktir, ret de dahil; günler başvuru tarihinden sayılır.</translation>
    </message>
    <message>
        <source>Last 30 days</source>
        <translation>Son 30 gün</translation>
    </message>
    <message>
        <source>Last 90 days</source>
        <translation>Son 90 gün</translation>
    </message>
    <message>
        <source>All time</source>
        <translation>Tüm zamanlar</translation>
    </message>
    <message>
        <source>%1 of %2 answered</source>
        <translation>%2 başvurudan %1 yanıt</translation>
    </message>
    <message>
        <source>median %1 to the first answer</source>
        <comment>%1 is a number of days, e.g. “4 days”</comment>
        <translation>ilk yanıta kadar ortanca %1</translation>
    </message>
    <message>
        <source>no answers yet</source>
        <translation>henüz yanıt yok</translation>
    </message>
    <message>
        <source>Applications per week</source>
        <translation>Haftalık başvurular</translation>
    </message>
    <message>
        <source>The last twelve weeks.</source>
        <translation>Son on iki hafta.</translation>
    </message>
    <message>
        <source>MMM d</source>
        <comment>Week label: the first day of a week as a short date</comment>
        <translation>d MMM</translation>
    </message>
    <message>
        <source>This week</source>
        <translation>Bu hafta</translation>
    </message>
    <message>
        <source>Why applications ended</source>
        <translation>Başvurular neden sonlandı</translation>
    </message>
    <message>
        <source>1 rejection</source>
        <translation>1 ret</translation>
    </message>
    <message>
        <source>%1 rejections</source>
        <translation>%1 ret</translation>
    </message>
    <message>
        <source>No rejections so far.</source>
        <translation>Şimdiye kadar ret yok.</translation>
    </message>
    <message>
        <source>No reason given</source>
        <translation>Neden belirtilmedi</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Neden</translation>
    </message>
    <message>
        <source>Stage it ended in</source>
        <translation>Sonlandığı aşama</translation>
    </message>
    <message>
        <source>Other sites</source>
        <translation>Diğer siteler</translation>
    </message>
    <message>
        <source>No link</source>
        <translation>Bağlantı yok</translation>
    </message>
    <message>
        <source>Sent</source>
        <comment>Column over the number of applications sent</comment>
        <translation>Gönderilen</translation>
    </message>
    <message>
        <source>Answered</source>
        <comment>Column over the share of applications that got an answer</comment>
        <translation>Yanıtlanan</translation>
    </message>
    <message>
        <source>Work model and job board</source>
        <translation>Çalışma modeli ve iş ilanı sitesi</translation>
    </message>
    <message>
        <source>The job board is read from the posting link.</source>
        <translation>İlan sitesi, ilan bağlantısından okunur.</translation>
    </message>
    <message>
        <source>Work model</source>
        <translation>Çalışma modeli</translation>
    </message>
    <message>
        <source>Job board</source>
        <translation>İlan sitesi</translation>
    </message>
    <message>
        <source>%1%</source>
        <comment>A percentage; %1 is the number</comment>
        <translation>%%1</translation>
    </message>
    <message>
        <source>1 day</source>
        <translation>1 gün</translation>
    </message>
    <message>
        <source>%1 days</source>
        <comment>A number of days, possibly with a decimal</comment>
        <translation>%1 gün</translation>
    </message>
    <message>
        <source>%1: %2 of %3</source>
        <comment>A bar read out: label, value, whole</comment>
        <translation>%1: %3 içinden %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>A figure read out: its label, then its values</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: %2 sent, %3 answered</source>
        <comment>A row read out: name, count, share</comment>
        <translation>%1: %2 gönderildi, %3 yanıtlandı</translation>
    </message>
</context>
<context>
    <name>InsightsWindow</name>
    <message>
        <source>Insights</source>
        <translation>Öngörüler</translation>
    </message>
    <message>
        <source>Only what the list shows</source>
        <translation>Yalnızca listede görünenler</translation>
    </message>
    <message>
        <source>Count only the applications the list shows with its filter and search</source>
        <translation>Yalnızca listenin filtresi ve aramasıyla görünen başvuruları say</translation>
    </message>
    <message>
        <source>Not enough applications yet</source>
        <translation>Henüz yeterli başvuru yok</translation>
    </message>
    <message>
        <source>of 1 application</source>
        <translation>1 başvurudan</translation>
    </message>
    <message>
        <source>of %1 applications</source>
        <translation>%1 başvurudan</translation>
    </message>
    <message>
        <source>%1, as the list shows them</source>
        <comment>%1 is “of 42 applications”</comment>
        <translation>%1, listede görüldüğü gibi</translation>
    </message>
    <message>
        <source>There are none to count yet.</source>
        <translation>Henüz sayılacak başvuru yok.</translation>
    </message>
    <message>
        <source>There is 1 so far.</source>
        <translation>Şimdiye kadar 1 başvuru var.</translation>
    </message>
    <message>
        <source>There are %1 so far.</source>
        <translation>Şimdiye kadar %1 başvuru var.</translation>
    </message>
    <message>
        <source>Insights need at least %1 applications before their figures mean something.</source>
        <translation>Öngörülerin rakamlarının bir anlam taşıması için en az %1 başvuru gerekir.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
</context>
<context>
    <name>JobApplication</name>
    <message>
        <source>New Application</source>
        <translation>Yeni Başvuru</translation>
    </message>
    <message>
        <source>No position specified</source>
        <translation>Pozisyon belirtilmedi</translation>
    </message>
</context>
<context>
    <name>MailImportFlow</name>
    <message>
        <source>Dropped text</source>
        <translation>Bırakılan metin</translation>
    </message>
    <message>
        <source>Mail (*.eml *.mbox)</source>
        <translation>E-posta (*.eml *.mbox)</translation>
    </message>
    <message>
        <source>Import Mail</source>
        <translation>E-postayı İçe Aktar</translation>
    </message>
</context>
<context>
    <name>MailImportSession</name>
    <message>
        <source>Clipboard</source>
        <translation>Pano</translation>
    </message>
</context>
<context>
    <name>MailImportSheet</name>
    <message>
        <source>Review Mail Updates</source>
        <translation>E-posta Güncellemelerini Gözden Geçir</translation>
    </message>
    <message numerus="yes">
        <source>Apply %n Changes</source>
        <comment>Mail review button; %n is the number of changes</comment>
        <translation>
            <numerusform>%n Değişikliği Uygula</numerusform>
        </translation>
    </message>
    <message>
        <source>Check which application each message is about and what it changes. Nothing changes until you apply.</source>
        <translation>Her iletinin hangi başvuruyla ilgili olduğunu ve neyi değiştirdiğini kontrol edin. Siz uygulayana kadar hiçbir şey değişmez.</translation>
    </message>
    <message>
        <source>Reading messages…</source>
        <translation>İletiler okunuyor…</translation>
    </message>
    <message>
        <source>No messages could be read</source>
        <translation>Hiçbir ileti okunamadı</translation>
    </message>
    <message>
        <source>Drop messages saved from your mail program (.eml), a mailbox export (.mbox), or paste a message with its headers.</source>
        <translation>E-posta programınızdan kaydettiğiniz iletileri (.eml) ya da bir posta kutusu dışa aktarımını (.mbox) bırakın veya bir iletiyi üst bilgileriyle birlikte yapıştırın.</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Okunuyor…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>Messages that could not be read</source>
        <translation>Okunamayan iletiler</translation>
    </message>
</context>
<context>
    <name>MailMatcher</name>
    <message>
        <source>The sender is the application's HR contact</source>
        <translation>Gönderen, başvurunun İK iletişim kişisi</translation>
    </message>
    <message>
        <source>Sent from the posting's domain, %1</source>
        <translation>İlanın alan adından gönderilmiş: %1</translation>
    </message>
    <message>
        <source>Sent from %1</source>
        <translation>%1 alan adından gönderilmiş</translation>
    </message>
    <message>
        <source>Named in the applicant-tracking address: %1</source>
        <translation>Aday takip sisteminin adresinde geçiyor: %1</translation>
    </message>
    <message>
        <source>Sender's name: %1</source>
        <translation>Gönderenin adı: %1</translation>
    </message>
    <message>
        <source>Named in the subject</source>
        <translation>Konuda geçiyor</translation>
    </message>
    <message>
        <source>Named in the text</source>
        <translation>Metinde geçiyor</translation>
    </message>
    <message>
        <source>The posting's job number is in the message</source>
        <translation>İlanın numarası iletide geçiyor</translation>
    </message>
    <message>
        <source>The position is in the message</source>
        <translation>Pozisyon iletide geçiyor</translation>
    </message>
    <message numerus="yes">
        <source>%n applications at %1; nothing in the message says which</source>
        <translation>
            <numerusform>%1 şirketinde %n başvuru var; iletide hangisi olduğu yazmıyor</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MailReadError</name>
    <message>
        <source>This file could not be opened.</source>
        <translation>Bu dosya açılamadı.</translation>
    </message>
    <message>
        <source>This file is not an e-mail message.</source>
        <translation>Bu dosya bir e-posta iletisi değil.</translation>
    </message>
    <message>
        <source>This message is too large to read (over %1 MB).</source>
        <translation>Bu ileti okunamayacak kadar büyük (%1 MB'tan fazla).</translation>
    </message>
    <message>
        <source>This message has too many parts to read.</source>
        <translation>Bu iletide okunamayacak kadar çok bölüm var.</translation>
    </message>
    <message>
        <source>This message is forwarded or nested too deeply to read.</source>
        <translation>Bu ileti okunamayacak kadar çok kez iletilmiş ya da iç içe geçmiş.</translation>
    </message>
    <message>
        <source>The text of this message is too long to read.</source>
        <translation>Bu iletinin metni okunamayacak kadar uzun.</translation>
    </message>
    <message>
        <source>The text of this message could not be decoded.</source>
        <translation>Bu iletinin metni çözülemedi.</translation>
    </message>
    <message>
        <source>No readable text was found in this message.</source>
        <translation>Bu iletide okunabilir bir metin bulunamadı.</translation>
    </message>
    <message>
        <source>Reading this message took too long.</source>
        <translation>Bu iletiyi okumak çok uzun sürdü.</translation>
    </message>
    <message>
        <source>Only the first %1 messages of this mailbox were read.</source>
        <translation>Bu posta kutusunun yalnızca ilk %1 iletisi okundu.</translation>
    </message>
    <message>
        <source>This message could not be read.</source>
        <translation>Bu ileti okunamadı.</translation>
    </message>
</context>
<context>
    <name>MailStatusUpdates</name>
    <message>
        <source>Mail Import</source>
        <translation>E-postaların İçe Aktarılması</translation>
    </message>
</context>
<context>
    <name>MailUpdateRow</name>
    <message>
        <source>Rejection</source>
        <translation>Ret</translation>
    </message>
    <message>
        <source>Interview invitation</source>
        <translation>Mülakat daveti</translation>
    </message>
    <message>
        <source>Offer</source>
        <translation>Teklif</translation>
    </message>
    <message>
        <source>Application received</source>
        <translation>Başvuru alındı</translation>
    </message>
    <message>
        <source>Not about an application</source>
        <translation>Bir başvuruyla ilgili değil</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <comment>Company — position</comment>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Include this change</source>
        <translation>Bu değişikliği dahil et</translation>
    </message>
    <message>
        <source>No date</source>
        <translation>Tarih yok</translation>
    </message>
    <message>
        <source>(no subject)</source>
        <translation>(konu yok)</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Başvuru</translation>
    </message>
    <message>
        <source>Not in your list</source>
        <translation>Listenizde yok</translation>
    </message>
    <message>
        <source>Create Application</source>
        <translation>Başvuru Oluştur</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Şirket</translation>
    </message>
    <message>
        <source>Company of the new application</source>
        <translation>Yeni başvurunun şirketi</translation>
    </message>
    <message>
        <source>“%1”</source>
        <comment>Quoted sentence of a message</comment>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Değiştir</translation>
    </message>
    <message>
        <source>Read from</source>
        <translation>Okunduğu yer</translation>
    </message>
    <message>
        <source>Choose an application…</source>
        <translation>Bir başvuru seçin…</translation>
    </message>
    <message>
        <source>Cancel New Application</source>
        <translation>Yeni Başvurudan Vazgeç</translation>
    </message>
    <message>
        <source>A new application, with this change</source>
        <translation>Bu değişiklikle yeni bir başvuru</translation>
    </message>
    <message>
        <source>A new application, dated when the message was sent</source>
        <translation>İletinin gönderildiği günle tarihlenen yeni bir başvuru</translation>
    </message>
    <message>
        <source>An unusual step back: tick it if it is right</source>
        <translation>Alışılmadık bir geri adım: doğruysa işaretleyin</translation>
    </message>
    <message>
        <source>No change: the application was received</source>
        <translation>Değişiklik yok: başvuru alınmış</translation>
    </message>
    <message>
        <source>Nothing to change</source>
        <translation>Değiştirilecek bir şey yok</translation>
    </message>
    <message>
        <source>Already %1: nothing to change</source>
        <translation>Zaten %1: değiştirilecek bir şey yok</translation>
    </message>
    <message>
        <source>Nothing to change: the application moved on after this message</source>
        <translation>Değiştirilecek bir şey yok: başvuru bu iletiden sonra ilerlemiş</translation>
    </message>
    <message>
        <source>Nothing to change: the application is already at %1</source>
        <translation>Değiştirilecek bir şey yok: başvuru zaten %1 aşamasında</translation>
    </message>
    <message>
        <source>Create the application to record this message</source>
        <translation>Bu iletiyi kaydetmek için başvuruyu oluşturun</translation>
    </message>
    <message>
        <source>Choose the application this message is about</source>
        <translation>Bu iletinin hangi başvuruyla ilgili olduğunu seçin</translation>
    </message>
    <message>
        <source>Reason: %1</source>
        <translation>Neden: %1</translation>
    </message>
    <message>
        <source>No reason given</source>
        <translation>Neden belirtilmedi</translation>
    </message>
</context>
<context>
    <name>NotesSection</name>
    <message>
        <source>Notes</source>
        <translation>Notlar</translation>
    </message>
    <message>
        <source>Interview prep, questions asked, impressions…</source>
        <translation>Mülakat hazırlığı, sorulan sorular, izlenimler…</translation>
    </message>
</context>
<context>
    <name>PostingImportFlow</name>
    <message>
        <source>Images (%1)</source>
        <translation>Görüntüler (%1)</translation>
    </message>
    <message>
        <source>Add from Screenshot</source>
        <translation>Ekran Görüntüsünden Ekle</translation>
    </message>
</context>
<context>
    <name>PostingImportSession</name>
    <message>
        <source>Clipboard</source>
        <translation>Pano</translation>
    </message>
    <message>
        <source>The clipboard has no job posting text or screenshot.</source>
        <translation>Panoda iş ilanı metni ya da ekran görüntüsü yok.</translation>
    </message>
    <message>
        <source>Still reading %1…</source>
        <translation>%1 hâlâ okunuyor…</translation>
    </message>
</context>
<context>
    <name>PostingImportSheet</name>
    <message>
        <source>Review Detected Applications</source>
        <translation>Algılanan Başvuruları Gözden Geçir</translation>
    </message>
    <message numerus="yes">
        <source>Add %n Applications</source>
        <comment>Review sheet button; %n is the number of drafts to add</comment>
        <translation>
            <numerusform>%n Başvuru Ekle</numerusform>
        </translation>
    </message>
    <message>
        <source>Check what was detected, fix anything wrong, then add. Nothing is saved until you do.</source>
        <translation>Algılananları kontrol edin, yanlışları düzeltin, sonra ekleyin. Siz ekleyene kadar hiçbir şey kaydedilmez.</translation>
    </message>
    <message>
        <source>Reading screenshots…</source>
        <translation>Ekran görüntüleri okunuyor…</translation>
    </message>
    <message>
        <source>Nothing could be read</source>
        <translation>Hiçbir şey okunamadı</translation>
    </message>
    <message>
        <source>No job posting fields were found in these screenshots. Try a shot that includes the job title and company name.</source>
        <translation>Bu ekran görüntülerinde iş ilanı bilgisi bulunamadı. İş unvanını ve şirket adını içeren bir görüntü deneyin.</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Okunuyor…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>Add or cancel these first, then paste the next posting.</source>
        <translation>Önce bunları ekleyin ya da vazgeçin, sonra sıradaki ilanı yapıştırın.</translation>
    </message>
    <message>
        <source>Add or cancel these first, then drop the new screenshots.</source>
        <translation>Önce bunları ekleyin ya da vazgeçin, sonra yeni ekran görüntülerini bırakın.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n reviewed postings?</source>
        <comment>Review sheet: asked on Cancel after drafts were edited</comment>
        <translation>
            <numerusform>Gözden geçirilen %n ilan atılsın mı?</numerusform>
        </translation>
    </message>
    <message>
        <source>Files that could not be read</source>
        <translation>Okunamayan dosyalar</translation>
    </message>
    <message>
        <source>The changes you made to them are lost; nothing is added.</source>
        <translation>Onlarda yaptığınız değişiklikler kaybolur; hiçbir şey eklenmez.</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>At</translation>
    </message>
    <message>
        <source>Detected applications</source>
        <translation>Algılanan başvurular</translation>
    </message>
</context>
<context>
    <name>PostingParser</name>
    <message>
        <source>From address: </source>
        <translation>Adresten: </translation>
    </message>
</context>
<context>
    <name>RecognizerError</name>
    <message>
        <source>This file could not be read as an image.</source>
        <translation>Bu dosya bir görüntü olarak okunamadı.</translation>
    </message>
    <message>
        <source>No text was found in this screenshot.</source>
        <translation>Bu ekran görüntüsünde metin bulunamadı.</translation>
    </message>
    <message>
        <source>Text recognition could not start: its Turkish and English language data is missing.</source>
        <translation>Metin tanıma başlatılamadı: Türkçe ve İngilizce dil verileri eksik.</translation>
    </message>
    <message>
        <source>The text recognition engine could not read this image.</source>
        <translation>Metin tanıma motoru bu görüntüyü okuyamadı.</translation>
    </message>
    <message>
        <source>This image needs more memory than text recognition may use.</source>
        <translation>Bu görüntü, metin tanımanın kullanabileceğinden fazla bellek gerektiriyor.</translation>
    </message>
    <message>
        <source>Text recognition could not start: its helper program “%1” could not be run (%2).</source>
        <translation>Metin tanıma başlayamadı: yardımcı programı “%1” çalıştırılamadı (%2).</translation>
    </message>
    <message>
        <source>Text recognition stopped unexpectedly while reading this image.</source>
        <translation>Metin tanıma bu görüntüyü okurken beklenmedik biçimde durdu.</translation>
    </message>
    <message>
        <source>Reading this image took too long, so it was stopped.</source>
        <translation>Bu görüntüyü okumak çok uzun sürdü, bu yüzden durduruldu.</translation>
    </message>
    <message>
        <source>Text recognition was stopped.</source>
        <translation>Metin tanıma durduruldu.</translation>
    </message>
    <message>
        <source>This image is too large for a screenshot (more than 40 million pixels), so it was not read.</source>
        <translation>Bu görüntü bir ekran görüntüsü için fazla büyük (40 milyon pikselden fazla), bu yüzden okunmadı.</translation>
    </message>
    <message>
        <source>The name of this file could not be read, so the file could not be opened.</source>
        <translation>Bu dosyanın adı okunamadı, bu yüzden dosya açılamadı.</translation>
    </message>
    <message>
        <source>This file was not found; it may have been moved or deleted.</source>
        <translation>Bu dosya bulunamadı; taşınmış ya da silinmiş olabilir.</translation>
    </message>
    <message>
        <source>This is a folder, not an image file.</source>
        <translation>Bu bir klasör, görüntü dosyası değil.</translation>
    </message>
    <message>
        <source>This is not an ordinary file (a device or a pipe, for example), so it was not read.</source>
        <translation>Bu sıradan bir dosya değil (örneğin bir aygıt ya da bir boru), bu yüzden okunmadı.</translation>
    </message>
    <message>
        <source>You do not have permission to read this file.</source>
        <translation>Bu dosyayı okuma izniniz yok.</translation>
    </message>
</context>
<context>
    <name>RejectionReason</name>
    <message>
        <source>Moving forward with another candidate</source>
        <comment>Rejection reason</comment>
        <translation>Başka bir adayla devam ediliyor</translation>
    </message>
    <message>
        <source>Not enough experience</source>
        <comment>Rejection reason</comment>
        <translation>Deneyim yetersiz</translation>
    </message>
    <message>
        <source>Budget mismatch</source>
        <comment>Rejection reason</comment>
        <translation>Bütçe uyuşmazlığı</translation>
    </message>
    <message>
        <source>No relocation or visa sponsorship</source>
        <comment>Rejection reason</comment>
        <translation>Taşınma ya da vize desteği yok</translation>
    </message>
    <message>
        <source>Position closed</source>
        <comment>Rejection reason</comment>
        <translation>Pozisyon kapandı</translation>
    </message>
    <message>
        <source>Other</source>
        <comment>Rejection reason</comment>
        <translation>Diğer</translation>
    </message>
</context>
<context>
    <name>RejectionSection</name>
    <message>
        <source>By email</source>
        <translation>E-postayla</translation>
    </message>
    <message>
        <source>By phone</source>
        <translation>Telefonla</translation>
    </message>
    <message>
        <source>Rejection Details</source>
        <translation>Ret Ayrıntıları</translation>
    </message>
    <message>
        <source>Useful later — recurring rejection reasons become easy to spot.</source>
        <translation>Sonra işe yarar — tekrarlayan ret nedenleri kolayca göze çarpar.</translation>
    </message>
    <message>
        <source>Rejection Reason</source>
        <translation>Ret Nedeni</translation>
    </message>
    <message>
        <source>Describe the rejection in your own words</source>
        <translation>Reddi kendi sözlerinizle anlatın</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Ayrıntılar</translation>
    </message>
    <message>
        <source>Rejection Channel</source>
        <translation>Ret Kanalı</translation>
    </message>
    <message>
        <source>Not specified</source>
        <translation>Belirtilmedi</translation>
    </message>
</context>
<context>
    <name>SalaryRow</name>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>Currency</source>
        <translation>Para Birimi</translation>
    </message>
</context>
<context>
    <name>SalarySection</name>
    <message>
        <source>Salary</source>
        <translation>Maaş</translation>
    </message>
    <message>
        <source>Expected Salary</source>
        <translation>Beklenen Maaş</translation>
    </message>
    <message>
        <source>Offered Salary</source>
        <translation>Teklif Edilen Maaş</translation>
    </message>
    <message>
        <source>Figures stay on this Mac, in a local database.</source>
        <translation>Rakamlar bu Mac'te, yerel bir veritabanında kalır.</translation>
    </message>
    <message>
        <source>Figures stay on this computer, in a local database.</source>
        <translation>Rakamlar bu bilgisayarda, yerel bir veritabanında kalır.</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Fark</translation>
    </message>
</context>
<context>
    <name>SortOption</name>
    <message>
        <source>Newest first</source>
        <comment>Sort option</comment>
        <translation>En yeni önce</translation>
    </message>
    <message>
        <source>Longest waiting</source>
        <comment>Sort option</comment>
        <translation>En uzun bekleyen</translation>
    </message>
    <message>
        <source>Company name (A-Z)</source>
        <comment>Sort option</comment>
        <translation>Şirket adı (A-Z)</translation>
    </message>
    <message>
        <source>By status</source>
        <comment>Sort option</comment>
        <translation>Duruma göre</translation>
    </message>
</context>
<context>
    <name>SpreadsheetExport</name>
    <message>
        <source>Yes</source>
        <comment>Spreadsheet: a flag that is set</comment>
        <translation>Evet</translation>
    </message>
    <message>
        <source>No</source>
        <comment>Spreadsheet: a flag that is not set</comment>
        <translation>Hayır</translation>
    </message>
    <message>
        <source>%1 on</source>
        <comment>Spreadsheet column: the date a status was first reached; %1 is the status</comment>
        <translation>%1 (tarih)</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>Spreadsheet column: when the status changed</comment>
        <translation>Tarih</translation>
    </message>
    <message>
        <source>From</source>
        <comment>Spreadsheet column: the status left</comment>
        <translation>Önceki Durum</translation>
    </message>
    <message>
        <source>To</source>
        <comment>Spreadsheet column: the status entered</comment>
        <translation>Yeni Durum</translation>
    </message>
</context>
<context>
    <name>SpreadsheetFlow</name>
    <message>
        <source>Export as Spreadsheet</source>
        <translation>Tablo Olarak Dışa Aktar</translation>
    </message>
    <message>
        <source>Applications, one row each (*.csv)</source>
        <translation>Başvurular, her biri bir satır (*.csv)</translation>
    </message>
    <message>
        <source>Status history, one row per change (*.csv)</source>
        <translation>Durum geçmişi, her değişiklik bir satır (*.csv)</translation>
    </message>
</context>
<context>
    <name>StatusFilter</name>
    <message>
        <source>All</source>
        <comment>Status filter</comment>
        <translation>Tümü</translation>
    </message>
    <message>
        <source>In Progress</source>
        <comment>Status filter</comment>
        <translation>Devam Eden</translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <source>The applications could not be read</source>
        <translation>Başvurular okunamadı</translation>
    </message>
    <message>
        <source>The status history could not be read</source>
        <translation>Durum geçmişi okunamadı</translation>
    </message>
    <message>
        <source>The changes could not be saved</source>
        <translation>Değişiklikler kaydedilemedi</translation>
    </message>
    <message>
        <source>The database file “%1” is damaged: its integrity check reports “%2”. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası hasarlı: bütünlük denetimi “%2” bildiriyor. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database could not be made ready for saving</source>
        <translation>Veritabanı kaydetmeye hazırlanamadı</translation>
    </message>
</context>
<context>
    <name>StoreErrorView</name>
    <message>
        <source>Database Could Not Be Opened</source>
        <translation>Veritabanı Açılamadı</translation>
    </message>
    <message>
        <source>Your applications are still on disk. Applywright could not open the database — this usually happens after an update that changed the data format.</source>
        <translation>Başvurularınız hâlâ diskte. Applywright veritabanını açamadı — bu genellikle veri biçimini değiştiren bir güncellemeden sonra olur.</translation>
    </message>
    <message>
        <source>Error message</source>
        <translation>Hata iletisi</translation>
    </message>
    <message>
        <source>Show Data Folder in Finder</source>
        <translation>Veri Klasörünü Finder'da Göster</translation>
    </message>
    <message>
        <source>Show Data Folder in File Manager</source>
        <translation>Veri Klasörünü Dosya Yöneticisinde Göster</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>K&amp;opyala</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tümünü Seç</translation>
    </message>
</context>
<context>
    <name>StoreOpener</name>
    <message>
        <source>The database file “%1” could not be read: %2.</source>
        <translation>“%1” veritabanı dosyası okunamadı: %2.</translation>
    </message>
    <message>
        <source>The file “%1” is not an Applywright database (it is not an SQLite file). It was left unchanged.</source>
        <translation>“%1” dosyası bir Applywright veritabanı değil (SQLite dosyası değil). Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” could not be opened: %2.</source>
        <translation>“%1” veritabanı dosyası açılamadı: %2.</translation>
    </message>
    <message>
        <source>The file “%1” is an SQLite database of another program, not an Applywright database. It was left unchanged.</source>
        <translation>“%1” başka bir programın SQLite veritabanı, Applywright veritabanı değil. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” has no data format version and cannot be opened. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyasında veri biçimi sürümü yok, bu yüzden açılamıyor. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” uses data format %2, but this version of Applywright reads format %3. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası %2 veri biçimini kullanıyor, ancak Applywright'ın bu sürümü %3 biçimini okuyor. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” could not be created: %2.</source>
        <translation>“%1” veritabanı dosyası oluşturulamadı: %2.</translation>
    </message>
    <message>
        <source>The database file “%1” cannot be written to, so changes could not be saved. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyasına yazılamıyor, bu yüzden değişiklikler kaydedilemez. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>it cannot be examined</source>
        <translation>incelenemiyor</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>bir klasör</translation>
    </message>
    <message>
        <source>it is a named pipe</source>
        <translation>adlandırılmış bir boru</translation>
    </message>
    <message>
        <source>it is a socket</source>
        <translation>bir soket</translation>
    </message>
    <message>
        <source>it is a device</source>
        <translation>bir aygıt</translation>
    </message>
    <message>
        <source>Applywright is already running with the data folder “%1”, but its window could not be reached. Quit that copy, then start it again.</source>
        <translation>Applywright “%1” veri klasörüyle zaten çalışıyor, ancak penceresine ulaşılamadı. O kopyadan çıkın, sonra yeniden başlatın.</translation>
    </message>
    <message>
        <source>“%1” is not a folder, so it cannot hold the database.</source>
        <translation>“%1” bir klasör değil, bu yüzden veritabanını barındıramaz.</translation>
    </message>
    <message>
        <source>The disk is full: the data folder “%1” could not be created.</source>
        <translation>Disk dolu: “%1” veri klasörü oluşturulamadı.</translation>
    </message>
    <message>
        <source>The data folder “%1” could not be created: %2.</source>
        <translation>“%1” veri klasörü oluşturulamadı: %2.</translation>
    </message>
    <message>
        <source>The disk is full: nothing can be written to the data folder “%1”, so the database could not be opened safely.</source>
        <translation>Disk dolu: “%1” veri klasörüne hiçbir şey yazılamıyor, bu yüzden veritabanı güvenle açılamadı.</translation>
    </message>
    <message>
        <source>The data folder “%1” cannot be written to (%2), so the database could not be opened safely.</source>
        <translation>“%1” veri klasörüne yazılamıyor (%2), bu yüzden veritabanı güvenle açılamadı.</translation>
    </message>
    <message>
        <source>The database file “%1” is missing, but “%2” beside it is still there. Nothing was changed.</source>
        <translation>“%1” veritabanı dosyası yok, ancak yanındaki “%2” hâlâ duruyor. Hiçbir şey değiştirilmedi.</translation>
    </message>
    <message>
        <source>The database “%1” is a link to “%2”, which cannot be reached (%3). Is its disk connected? Nothing was changed.</source>
        <translation>“%1” veritabanı, ulaşılamayan “%2” dosyasına bir bağlantı (%3). Diski bağlı mı? Hiçbir şey değiştirilmedi.</translation>
    </message>
    <message>
        <source>“%1” is not a regular file (%2), so it cannot be the database. It was left unchanged.</source>
        <translation>“%1” sıradan bir dosya değil (%2), bu yüzden veritabanı olamaz. Dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” is empty, but “%2” beside it holds data. Both were left unchanged.</source>
        <translation>“%1” veritabanı dosyası boş, ancak yanındaki “%2” veri içeriyor. İkisine de dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” is empty (0 bytes). It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası boş (0 bayt). Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” is damaged: its first bytes are zeroed. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası hasarlı: ilk baytları sıfırlanmış. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The database file “%1” is damaged: it is cut short. It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası hasarlı: kısa kesilmiş. Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>“%1” beside the database is left from an interrupted change that cannot be undone safely. Move it out of the data folder, then start Applywright again. Nothing was changed.</source>
        <translation>Veritabanının yanındaki “%1”, güvenle geri alınamayacak yarım kalmış bir değişiklikten kalmış. Onu veri klasörünün dışına taşıyın, sonra Applywright'ı yeniden başlatın. Hiçbir şey değiştirilmedi.</translation>
    </message>
    <message>
        <source>The database file “%1” is damaged (%2). It was left unchanged.</source>
        <translation>“%1” veritabanı dosyası hasarlı (%2). Dosyaya dokunulmadı.</translation>
    </message>
    <message>
        <source>The disk is full: the database file “%1” could not be opened.</source>
        <translation>Disk dolu: “%1” veritabanı dosyası açılamadı.</translation>
    </message>
    <message>
        <source>The disk is full: the new database “%1” could not be created. Free some space, then start Applywright again.</source>
        <translation>Disk dolu: yeni “%1” veritabanı oluşturulamadı. Biraz yer açın, sonra Applywright'ı yeniden başlatın.</translation>
    </message>
</context>
<context>
    <name>SuggestionChip</name>
    <message>
        <source>Use “%1”</source>
        <comment>Review sheet: takes a suggested value into the field above</comment>
        <translation>“%1” kullan</translation>
    </message>
    <message>
        <source>From: </source>
        <comment>Review sheet: where a suggested value was read</comment>
        <translation>Kaynak: </translation>
    </message>
</context>
<context>
    <name>SummaryBar</name>
    <message>
        <source>active</source>
        <translation>aktif</translation>
    </message>
    <message>
        <source>offers</source>
        <translation>teklif</translation>
    </message>
    <message>
        <source>stale</source>
        <translation>sessiz</translation>
    </message>
</context>
<context>
    <name>TimelineSection</name>
    <message>
        <source>History</source>
        <translation>Geçmiş</translation>
    </message>
    <message>
        <source>In this stage</source>
        <translation>Bu aşamada</translation>
    </message>
    <message>
        <source>No status changes yet.</source>
        <translation>Henüz durum değişikliği yok.</translation>
    </message>
    <message numerus="yes">
        <source>%n days</source>
        <comment>Days in the current stage</comment>
        <translation>
            <numerusform>%n gün</numerusform>
        </translation>
    </message>
    <message>
        <source>Change Date…</source>
        <translation>Tarihi Değiştir…</translation>
    </message>
    <message>
        <source>Remove This Change</source>
        <translation>Bu Değişikliği Kaldır</translation>
    </message>
</context>
<context>
    <name>WaitingBadge</name>
    <message>
        <source>%lldd</source>
        <comment>Days waiting, abbreviated: the number and d</comment>
        <translation>%lldg</translation>
    </message>
    <message numerus="yes">
        <source>Waiting %n days</source>
        <comment>%n is the number of days</comment>
        <translation>
            <numerusform>%n gündür bekliyor</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WaitingLevel</name>
    <message>
        <source>Still early — sit tight for now.</source>
        <comment>Waiting time hint</comment>
        <translation>Henüz erken — şimdilik bekleyin.</translation>
    </message>
    <message>
        <source>A good time to send a follow-up email.</source>
        <comment>Waiting time hint</comment>
        <translation>Bir takip e-postası göndermek için iyi bir zaman.</translation>
    </message>
    <message>
        <source>Two weeks of silence — consider following up.</source>
        <comment>Waiting time hint</comment>
        <translation>İki haftadır ses yok — takip etmeyi düşünün.</translation>
    </message>
</context>
<context>
    <name>WindowState</name>
    <message>
        <source>New Application</source>
        <translation>Yeni Başvuru</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>İçe Aktarma</translation>
    </message>
    <message>
        <source>Backup Import</source>
        <translation>Yedeğin İçe Aktarılması</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Sil</translation>
    </message>
</context>
<context>
    <name>WorkModel</name>
    <message>
        <source>Remote</source>
        <comment>Work model</comment>
        <translation>Uzaktan</translation>
    </message>
    <message>
        <source>Hybrid</source>
        <comment>Work model</comment>
        <translation>Hibrit</translation>
    </message>
    <message>
        <source>On-site</source>
        <comment>Work model</comment>
        <translation>İş yerinde</translation>
    </message>
</context>
</TS>